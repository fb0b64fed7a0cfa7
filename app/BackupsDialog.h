// The list behind File > Backups: each backup with when it was made, what happened, the
// port, the channels in use and their first names; from it a backup is opened, compared
// with the configuration in the window, or written back to the radio.
#pragma once

#include "link/Backups.h"
#include "radio/LanguageText.h"

#include <QDialog>

#include <functional>
#include <vector>

class QLabel;
class QPushButton;
class QTableWidget;

namespace tarn {

class BackupsDialog : public QDialog {
    Q_OBJECT
public:
    // What the dialog ended with (its result): Close also for Escape and the close box.
    enum Choice { Close = QDialog::Rejected, Open = 2, WriteToRadio = 3 };
    enum Column { ColMade, ColWhat, ColPort, ColChannels, ColNames, ColFile, ColumnCount };

    BackupsDialog(const std::vector<tarn::BackupEntry>& entries, const QString& folder,
                  const tarn::LanguageText& text, QWidget* parent = nullptr);

    QTableWidget* table() const { return m_table; }
    QString headerText(int column) const;
    QString cellText(int row, int column) const;
    int rowCount() const;

    // The backup of the selected row; empty when none is selected.
    QString selectedPath() const;
    void selectRow(int row);

    // Compare runs with the list still open, so several backups can be compared in turn.
    void setCompare(std::function<void(const QString& path)> compare) { m_compare = std::move(compare); }
    void compareSelected();
    // Ends the dialog with Open or WriteToRadio for the selected backup (nothing without one).
    void choose(Choice choice);

private:
    void updateButtons();
    void openFolder();

    std::vector<tarn::BackupEntry> m_entries;
    QString m_folder;
    QTableWidget* m_table;
    QLabel* m_empty;
    QPushButton* m_open;
    QPushButton* m_compareButton;
    QPushButton* m_write;
    std::function<void(const QString&)> m_compare;
};

}  // namespace tarn
