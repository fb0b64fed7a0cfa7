#include "pages/ChannelDialogs.h"

#include "exchange/ExchangeRules.h"
#include "radio/Codecs.h"
#include "radio/RadioLayout.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QSpinBox>
#include <QVBoxLayout>

namespace tarn {

namespace {

QDialogButtonBox* addButtons(QDialog* dialog, QLayout* layout, const DialogButtons& texts)
{
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    if (!texts.ok.isEmpty())
        buttons->button(QDialogButtonBox::Ok)->setText(texts.ok);
    if (!texts.cancel.isEmpty())
        buttons->button(QDialogButtonBox::Cancel)->setText(texts.cancel);
    QObject::connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    layout->addWidget(buttons);
    return buttons;
}

}  // namespace

std::optional<long long> SignedTenHz(const QString& text)
{
    return SignedFrequencyTenHz(text.trimmed().toStdString());
}

// ---- ColumnChoicesDialog --------------------------------------------------------------

ColumnChoicesDialog::ColumnChoicesDialog(const QString& title, const QString& unchanged,
                                         const std::vector<Column>& columns, const DialogButtons& buttons,
                                         QWidget* parent)
    : QDialog(parent)
{
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    layout->addLayout(form);
    for (const Column& column : columns) {
        auto* list = new QComboBox(this);
        list->addItem(unchanged);
        list->addItems(column.items);
        list->setAccessibleName(column.header);
        form->addRow(column.header, list);
        m_lists.emplace_back(column.column, list);
    }
    addButtons(this, layout, buttons);
}

std::vector<std::pair<int, QString>> ColumnChoicesDialog::choices() const
{
    std::vector<std::pair<int, QString>> chosen;
    for (const auto& [column, list] : m_lists)
        if (list->currentIndex() > 0)
            chosen.emplace_back(column, list->currentText());
    return chosen;
}

QComboBox* ColumnChoicesDialog::list(int column) const
{
    for (const auto& [c, list] : m_lists)
        if (c == column)
            return list;
    return nullptr;
}

// ---- FillDialog -----------------------------------------------------------------------

FillDialog::FillDialog(const Texts& texts, const std::vector<int>& selectedRows, const QString& startText,
                       QWidget* parent)
    : QDialog(parent), m_selected(selectedRows), m_offText(texts.offText)
{
    setWindowTitle(texts.title);
    auto* layout = new QVBoxLayout(this);
    auto* form = new QFormLayout;
    layout->addLayout(form);

    m_start = new QLineEdit(startText, this);
    m_step = new QLineEdit(QStringLiteral("12.5"), this);
    // Several rows selected: those are the run. One: the run starts there and is as long as
    // the user says.
    const int first = m_selected.empty() ? 0 : m_selected.front();
    m_count = new QSpinBox(this);
    m_count->setRange(1, layout::ChannelCount - first);
    m_count->setValue(static_cast<int>(std::max<std::size_t>(m_selected.size(), 1)));
    m_count->setEnabled(m_selected.size() <= 1);
    m_range = new QLabel(this);
    auto* countRow = new QHBoxLayout;
    countRow->addWidget(m_count);
    countRow->addWidget(m_range, 1);
    m_offset = new QLineEdit(this);
    m_offset->setPlaceholderText(QStringLiteral("+0.6, -5"));
    m_tone = new QComboBox(this);
    m_tone->addItem(texts.unchanged);
    for (const std::string& item : ToneListItems(texts.offText.toStdString()))
        m_tone->addItem(QString::fromStdString(item));
    form->addRow(texts.start, m_start);
    form->addRow(texts.step, m_step);
    form->addRow(texts.count, countRow);
    form->addRow(texts.offset, m_offset);
    form->addRow(texts.txTone, m_tone);
    m_start->setAccessibleName(texts.start);
    m_step->setAccessibleName(texts.step);
    m_offset->setAccessibleName(texts.offset);
    m_tone->setAccessibleName(texts.txTone);
    m_count->setAccessibleName(texts.count);
    m_start->setFocus();
    m_start->selectAll();

    m_buttons = addButtons(this, layout, texts.buttons);
    for (QLineEdit* edit : {m_start, m_step, m_offset})
        connect(edit, &QLineEdit::textChanged, this, &FillDialog::update);
    connect(m_count, &QSpinBox::valueChanged, this, &FillDialog::update);
    update();
}

std::vector<int> FillDialog::rows() const
{
    if (m_selected.size() > 1)
        return m_selected;
    const int first = m_selected.empty() ? 0 : m_selected.front();
    return RowRange(first, first + m_count->value() - 1);
}

std::optional<FillPlan> FillDialog::plan() const
{
    FillPlan plan;
    const auto start = FrequencyTenHz(m_start->text().trimmed().toStdString());
    // kHz read as MHz is a thousand times the 10 Hz units; the step may go downwards.
    const auto step = SignedTenHz(m_step->text());
    if (!start || !step || *step % 1000 != 0)
        return std::nullopt;
    plan.start = *start;
    plan.step = *step / 1000;
    if (!m_offset->text().trimmed().isEmpty()) {
        plan.offset = SignedTenHz(m_offset->text());
        if (!plan.offset)
            return std::nullopt;
    }
    if (m_tone->currentIndex() > 0)
        plan.txTone = ToneTextToCode(m_tone->currentText().toStdString(), true, m_offText.toStdString());
    return plan;
}

void FillDialog::update()
{
    const std::vector<int> run = rows();
    m_range->setText(run.empty() ? QString()
                                 : QStringLiteral("%1 - %2").arg(run.front() + 1).arg(run.back() + 1));
    m_buttons->button(QDialogButtonBox::Ok)->setEnabled(plan().has_value() && !run.empty());
}

// ---- DuplicatesDialog -----------------------------------------------------------------

DuplicatesDialog::DuplicatesDialog(const QString& title, const QStringList& lines, const DialogButtons& buttons,
                                   QWidget* parent)
    : QDialog(parent), m_list(new QListWidget(this))
{
    setWindowTitle(title);
    auto* layout = new QVBoxLayout(this);
    m_list->addItems(lines);
    m_list->setCurrentRow(0);
    m_list->setAccessibleName(title);
    layout->addWidget(m_list);
    addButtons(this, layout, buttons);
    connect(m_list, &QListWidget::itemDoubleClicked, this, &QDialog::accept);
    resize(sizeHint().expandedTo(QSize(420, 260)));
}

int DuplicatesDialog::chosen() const
{
    return m_list->currentRow();
}

}  // namespace tarn
