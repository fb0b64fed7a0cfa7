// The key settings page: the fixed functions of the PTT and MONI keys, the choice of the
// side key PF1, and a picture of the radio beside them.
#pragma once

#include "pages/PageView.h"
#include "pages/PictureFile.h"

#include <QFrame>

class QComboBox;

namespace tarn {

// The frame the radio's picture is drawn into, stretched to its inside.
class PictureFrame : public QFrame {
    Q_OBJECT
public:
    PictureFrame(const QString& pictureName, bool reportMissing, QWidget* parent = nullptr);
    PictureFile& picture() { return m_picture; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    PictureFile m_picture;
};

class CKeySetView : public PageView {
    Q_OBJECT
public:
    static constexpr const char* PictureName = "phone.JPG";
    static constexpr int PictureControl = 1046;
    // The picture's name for screen readers.
    static constexpr int PictureNameString = 441;

    explicit CKeySetView(const PageContext& context, QWidget* parent = nullptr);

    void LoadFromImage() override;
    void storeInto(tarn::RadioImage& target) const override;
    // The side-key list's text.
    void addToPrint(tarn::PrintContent& content) const override;
    // The list's choice differs from the one last exchanged, in a way a store would carry
    // into the image.
    bool hasUnstoredEdits() const override;

    QComboBox* sideKeyList() const { return m_sideKey; }
    PictureFrame* pictureFrame() const { return m_picture; }
    // The selection as last exchanged with the list.
    int sideKeySelection = 0;

protected:
    void store() override;

private:
    QComboBox* m_sideKey;
    PictureFrame* m_picture;
};

// What the main frame calls to open the page.
PageView* createKeyPage(const PageContext& context, QWidget* parent);

}  // namespace tarn
