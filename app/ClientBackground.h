// The picture behind the page windows: "bg.JPG" painted stretched over the whole client
// area of the main window, repainted whole when the area changes size.
#pragma once

#include "pages/PictureFile.h"

#include <QObject>
#include <QPointer>

class QMdiArea;
class QPainter;

namespace tarn {

class ClientBackground : public QObject {
    Q_OBJECT
public:
    static constexpr const char* PictureName = "bg.JPG";

    explicit ClientBackground(QObject* parent = nullptr);

    // Takes over the painting of the area's background; a missing picture leaves the
    // area as the platform paints it.
    void attach(QMdiArea* area);
    // Draws the picture file into `rect`; true when it was drawn.
    bool ShowPicture(const QString& fileName, QPainter& painter, const QRect& rect, bool fit);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QMdiArea* m_area = nullptr;
    // Kept apart from the area: while the area is being destroyed its viewport still sends
    // events, and the area may no longer be asked for anything.
    QPointer<QWidget> m_viewport;
    PictureFile m_picture{QString::fromLatin1(PictureName), false};
};

}  // namespace tarn
