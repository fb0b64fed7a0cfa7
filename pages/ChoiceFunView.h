// The optional functions page: the radio's general functions and the A-band and B-band
// frequency-mode groups, built from the settings tables. Between a load and a store the
// values live only in the controls; the image changes when the main frame asks the page
// to store.
#pragma once

#include "pages/PageView.h"
#include "radio/OptionsSettings.h"

#include <array>
#include <string_view>
#include <vector>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QStringListModel;

namespace tarn {

class OffsetListModel;

class CChoiceFunView : public PageView {
    Q_OBJECT
public:
    enum class Pending { None, BandA, BandB };

    explicit CChoiceFunView(const PageContext& context, QWidget* parent = nullptr);
    ~CChoiceFunView() override;

    void OnInitialUpdate();
    void LoadFromImage() override;
    void storeInto(tarn::RadioImage& target) const override;
    void commitPending() override;
    // The texts, selections and check states of every control the printout names.
    void addToPrint(tarn::PrintContent& content) const override;
    // The controls differ from what the last load or store showed, in a way a store
    // would carry into the image. Shows no notice.
    bool hasUnstoredEdits() const override;

    // The control with the template's id (the hidden ones included), or nullptr.
    QWidget* control(int id) const;
    // The control of the setting with this stable key ("vox", "bandA.frequency"), or nullptr.
    QWidget* settingControl(std::string_view key) const;
    Pending pending() const { return m_pending; }

protected:
    void store() override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct BandControls {
        QLineEdit* frequency = nullptr;
        // Indexed by BandFieldId; no list for the frequency.
        std::array<QComboBox*, tarn::BandFieldCount> lists{};
        QComboBox* list(tarn::BandFieldId id) const { return lists[static_cast<int>(id)]; }
        OffsetListModel* offsets = nullptr;
        QString heldFrequency;  // the text as the page held it before the last change
    };
    // A general field's control: one of the three is set.
    struct FieldControl {
        QComboBox* list = nullptr;
        QCheckBox* check = nullptr;
        QLineEdit* edit = nullptr;
        QString heldText;
    };

    void buildGeneralControls();
    void buildBandGroup(tarn::Band band);
    void watchMouseMoves();
    void watchChanges();

    tarn::OptionsValues takeValues() const;
    void pushValues(const tarn::OptionsValues& values);

    void onFieldEdited(std::size_t field);
    void onFrequencyEdited(tarn::Band band);
    void onStepChanged(tarn::Band band);
    void onDisplayModeChanged(tarn::Band band);
    // A mouse move over `under`: snaps a typed frequency whose box is no longer typed in.
    void normalizePending(QObject* under);
    // Snaps the band's typed frequency to its step, when one was typed.
    void snapFrequency(tarn::Band band);

    BandControls& bandControls(tarn::Band band) { return m_bands[band == tarn::Band::A ? 0 : 1]; }
    std::string offText() const;
    tarn::LanguageText languageText() const;

    std::vector<FieldControl> m_fields;  // parallel to settings::Fields()
    std::array<BandControls, 2> m_bands;
    QStringListModel* m_tones = nullptr;
    Pending m_pending = Pending::None;
    // What the controls showed after the last load or store: a store of these only
    // normalizes what was loaded, which is no edit of the user's.
    tarn::OptionsValues m_shownValues;
};

// What the main frame calls to open the page.
PageView* createOptionsPage(const PageContext& context, QWidget* parent);

}  // namespace tarn
