// The preview every import in the window goes through: what will arrive and on which
// channels, the programmed channels it would replace (to be confirmed), the names it had to
// change, the frequencies the radio cannot use (imported as they are, as receive only, or
// skipped) and the rows that cannot be taken. The plan itself is exchange/ChannelImport's.
#pragma once

#include "exchange/ChannelImport.h"
#include "radio/LanguageText.h"
#include "radio/RadioImage.h"

#include <QDialog>

#include <functional>

class QCheckBox;
class QComboBox;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class QRadioButton;
class QSpinBox;
class QTableWidget;

namespace tarn {

class ImportPreviewDialog : public QDialog {
    Q_OBJECT
public:
    // Columns of the table.
    enum Column { TakeColumn, ChannelColumn, NameColumn, RxColumn, TxColumn, RxToneColumn, TxToneColumn,
                  PowerColumn, NoteColumn, ColumnCount };

    // `image` is the configuration as the pages show it; `source` names where the channels
    // come from (a file, a stock set, a configuration).
    ImportPreviewDialog(QWidget* parent, const tarn::RadioImage& image, tarn::IncomingChannels incoming,
                        const QString& source, const tarn::LanguageText& text);

    // What the user chose, and the plan it gives on the image.
    tarn::ImportChoices choices() const;
    const tarn::ImportPlan& plan() const { return m_plan; }
    // Whether "Import the good rows" may be pressed: channels arrive, none falls past 128,
    // and replaced programmed channels were confirmed.
    bool canImport() const;

    // A paste: names may be those of channels that stay.
    void setNamesBesideExisting(bool beside);
    void setPlacement(const tarn::Placement& placement);
    void setUnusableChoice(tarn::UnusableChoice choice);
    void setTaken(int incoming, bool taken);
    void confirmReplace(bool confirmed);

    QTableWidget* table() const { return m_table; }
    QString statusText() const;
    QString replacedText() const;
    QStringList problemLines() const;

    // Shows the dialog modally; QDialog::Accepted when the user pressed "Import the good
    // rows". Tests replace the modal loop with a hook that sees the dialog.
    int run();
    using Hook = std::function<int(ImportPreviewDialog&)>;
    static void setTestHook(Hook hook);

private:
    void replan();
    void fillTable();

    tarn::RadioImage m_image;
    tarn::IncomingChannels m_incoming;
    tarn::LanguageText m_text;
    tarn::ImportPlan m_plan;
    std::vector<bool> m_taken;
    bool m_namesBesideExisting = false;
    bool m_filling = false;
    QString m_lastReplaced;

    QRadioButton* m_afterLast;
    QRadioButton* m_fromChannel;
    QSpinBox* m_firstChannel;
    QRadioButton* m_replaceAll;
    QTableWidget* m_table;
    QWidget* m_unusableRow;
    QComboBox* m_unusable;
    QWidget* m_replacedRow;
    QLabel* m_replaced;
    QCheckBox* m_confirmReplace;
    QWidget* m_problemsRow;
    QPlainTextEdit* m_problems;
    QLabel* m_status;
    QPushButton* m_import;
};

}  // namespace tarn
