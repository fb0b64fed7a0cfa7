#include "app/BackupsDialog.h"

#include <QDesktopServices>
#include <QDialogButtonBox>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QUrl>
#include <QVBoxLayout>

namespace tarn {

namespace {

// Language strings of the column headers, in column order.
constexpr int HeaderStrings[BackupsDialog::ColumnCount] = {357, 358, 359, 360, 361, 364};
constexpr int OpenString = 480;
constexpr int CompareString = 481;
constexpr int WriteString = 482;
constexpr int CloseString = 483;
constexpr int OpenFolderString = 170;
constexpr int NoBackupsString = 172;
constexpr int TitleString = 484;

QString fromText(const tarn::LanguageText& text, int n)
{
    return text ? QString::fromStdString(text(n)) : QString();
}

QStringList rowTexts(const tarn::BackupEntry& entry, const tarn::LanguageText& text)
{
    QStringList names;
    for (const std::string& name : entry.firstNames)
        names << QString::fromStdString(name);
    return {
        entry.made.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
        QString::fromStdString(tarn::BackupWhatText(entry.what, text)),
        entry.port > 0 ? QStringLiteral("COM%1").arg(entry.port) : QString(),
        // A file that does not open as a configuration has nothing to count.
        entry.readable ? QString::number(entry.channelsInUse) : QString(),
        names.join(QStringLiteral(", ")),
        QFileInfo(entry.path).fileName(),
    };
}

}  // namespace

BackupsDialog::BackupsDialog(const std::vector<tarn::BackupEntry>& entries, const QString& folder,
                             const tarn::LanguageText& text, QWidget* parent)
    : QDialog(parent), m_entries(entries), m_folder(folder), m_table(new QTableWidget(this)),
      m_empty(new QLabel(fromText(text, NoBackupsString), this)),
      m_open(new QPushButton(fromText(text, OpenString), this)),
      m_compareButton(new QPushButton(fromText(text, CompareString), this)),
      m_write(new QPushButton(fromText(text, WriteString), this))
{
    m_table->setColumnCount(ColumnCount);
    m_table->setRowCount(static_cast<int>(m_entries.size()));
    QStringList headers;
    for (int n : HeaderStrings)
        headers << fromText(text, n);
    m_table->setHorizontalHeaderLabels(headers);
    m_table->verticalHeader()->hide();
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_table->setSelectionMode(QAbstractItemView::SingleSelection);
    m_table->setWordWrap(false);
    for (int row = 0; row < m_table->rowCount(); ++row) {
        const QStringList cells = rowTexts(m_entries[std::size_t(row)], text);
        for (int column = 0; column < ColumnCount; ++column) {
            auto* item = new QTableWidgetItem(cells.value(column));
            if (column == ColChannels)
                item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
            m_table->setItem(row, column, item);
        }
    }
    m_table->resizeColumnsToContents();
    m_table->horizontalHeader()->setStretchLastSection(true);
    setWindowTitle(fromText(text, TitleString));
    m_table->setAccessibleName(windowTitle());
    m_empty->setVisible(m_entries.empty());

    auto* buttons = new QDialogButtonBox(this);
    buttons->addButton(m_open, QDialogButtonBox::ActionRole);
    buttons->addButton(m_compareButton, QDialogButtonBox::ActionRole);
    buttons->addButton(m_write, QDialogButtonBox::ActionRole);
    QPushButton* folderButton = buttons->addButton(fromText(text, OpenFolderString), QDialogButtonBox::ActionRole);
    QPushButton* close = buttons->addButton(fromText(text, CloseString), QDialogButtonBox::RejectRole);
    m_open->setDefault(true);
    connect(m_open, &QPushButton::clicked, this, [this] { choose(Open); });
    connect(m_compareButton, &QPushButton::clicked, this, &BackupsDialog::compareSelected);
    connect(m_write, &QPushButton::clicked, this, [this] { choose(WriteToRadio); });
    connect(folderButton, &QPushButton::clicked, this, &BackupsDialog::openFolder);
    connect(close, &QPushButton::clicked, this, &QDialog::reject);
    connect(m_table, &QTableWidget::itemSelectionChanged, this, &BackupsDialog::updateButtons);
    connect(m_table, &QTableWidget::cellDoubleClicked, this, [this] { choose(Open); });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_empty);
    layout->addWidget(m_table, 1);
    layout->addWidget(buttons);
    resize(860, 420);

    // The newest backup is the likely one.
    if (!m_entries.empty())
        selectRow(0);
    updateButtons();
}

QString BackupsDialog::headerText(int column) const
{
    const QTableWidgetItem* item = m_table->horizontalHeaderItem(column);
    return item ? item->text() : QString();
}

QString BackupsDialog::cellText(int row, int column) const
{
    const QTableWidgetItem* item = m_table->item(row, column);
    return item ? item->text() : QString();
}

int BackupsDialog::rowCount() const
{
    return m_table->rowCount();
}

QString BackupsDialog::selectedPath() const
{
    const QList<QTableWidgetItem*> selected = m_table->selectedItems();
    if (selected.isEmpty())
        return {};
    const int row = selected.first()->row();
    return row >= 0 && row < int(m_entries.size()) ? m_entries[std::size_t(row)].path : QString();
}

void BackupsDialog::selectRow(int row)
{
    m_table->selectRow(row);
    m_table->setCurrentCell(row, ColMade);
}

void BackupsDialog::compareSelected()
{
    const QString path = selectedPath();
    if (!path.isEmpty() && m_compare)
        m_compare(path);
}

void BackupsDialog::choose(Choice choice)
{
    if (choice == Close)
        reject();
    else if (!selectedPath().isEmpty())
        done(choice);
}

void BackupsDialog::updateButtons()
{
    const bool selected = !selectedPath().isEmpty();
    m_open->setEnabled(selected);
    m_compareButton->setEnabled(selected);
    m_write->setEnabled(selected);
}

void BackupsDialog::openFolder()
{
    QDesktopServices::openUrl(QUrl::fromLocalFile(m_folder));
}

}  // namespace tarn
