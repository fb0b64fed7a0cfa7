// The small dialogs of the channel page's row commands: one choice per column for every
// selected channel, a run of frequencies to fill, and the list of duplicate channels. They
// only gather the user's answer; the channel operations themselves do the work.
#pragma once

#include "radio/ChannelOps.h"

#include <QDialog>
#include <QStringList>

#include <optional>
#include <utility>
#include <vector>

class QComboBox;
class QDialogButtonBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QSpinBox;

namespace tarn {

// The texts a dialog's buttons show (language strings 116 and 117).
struct DialogButtons {
    QString ok;
    QString cancel;
};

// Edit selected channels: one list per choice column, each first at "(unchanged)".
class ColumnChoicesDialog : public QDialog {
    Q_OBJECT
public:
    struct Column {
        int column;       // the channel list's column
        QString header;   // its header text
        QStringList items;
    };
    ColumnChoicesDialog(const QString& title, const QString& unchanged, const std::vector<Column>& columns,
                        const DialogButtons& buttons, QWidget* parent = nullptr);

    // The columns given a choice, in the order of the lists: (column, item text).
    std::vector<std::pair<int, QString>> choices() const;
    QComboBox* list(int column) const;

private:
    std::vector<std::pair<int, QComboBox*>> m_lists;
};

// Fill frequencies: a start frequency and a step for a run of channels, and optionally a
// transmit offset and tone. The run is the selected rows, or, when one row is selected, as
// many channels from it as the user asks for.
class FillDialog : public QDialog {
    Q_OBJECT
public:
    struct Texts {
        QString title;
        QString start;      // "Start frequency (MHz)"
        QString step;       // "Step (kHz)"
        QString offset;     // "Tx offset (MHz)"
        QString txTone;     // "Tx tone"
        QString count;      // "Channels"
        QString unchanged;  // the tone list's first entry: the tones stay
        QString offText;    // "no tone" in the tone list
        DialogButtons buttons;
    };
    FillDialog(const Texts& texts, const std::vector<int>& selectedRows, const QString& startText,
               QWidget* parent = nullptr);

    // The rows to fill (0-127), and the plan; nothing while a field holds no usable number.
    std::vector<int> rows() const;
    std::optional<tarn::FillPlan> plan() const;

    QLineEdit* startEdit() const { return m_start; }
    QLineEdit* stepEdit() const { return m_step; }
    QLineEdit* offsetEdit() const { return m_offset; }
    QComboBox* toneList() const { return m_tone; }
    QSpinBox* countBox() const { return m_count; }

private:
    void update();

    std::vector<int> m_selected;
    QString m_offText;
    QLineEdit* m_start;
    QLineEdit* m_step;
    QLineEdit* m_offset;
    QComboBox* m_tone;
    QSpinBox* m_count;
    QLabel* m_range;
    QDialogButtonBox* m_buttons;
};

// Find duplicates: one line per group; the chosen group is shown on the page.
class DuplicatesDialog : public QDialog {
    Q_OBJECT
public:
    DuplicatesDialog(const QString& title, const QStringList& lines, const DialogButtons& buttons,
                     QWidget* parent = nullptr);
    // The line chosen, -1 for none.
    int chosen() const;
    QListWidget* list() const { return m_list; }

private:
    QListWidget* m_list;
};

// A number of MHz the user typed, a sign allowed first ("+0.6", "-5", "12.5"), in 10 Hz
// units; nothing when the text is not such a number.
std::optional<long long> SignedTenHz(const QString& text);

}  // namespace tarn
