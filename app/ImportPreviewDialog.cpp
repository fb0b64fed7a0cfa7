#include "app/ImportPreviewDialog.h"

#include "radio/ChannelRecord.h"
#include "radio/LanguageStrings.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

namespace tarn {

namespace {

// Language strings of the dialog.
enum PreviewText {
    ChannelsFromText = 397,
    PlaceThemText,
    AfterLastText,
    FromChannelText,
    ReplaceAllText,
    NoteText,
    MarkedText,
    AsTheyAreText,
    ReceiveOnlyChoiceText,
    SkipThemText,
    WillBeReplacedText,
    ReplaceThemText,
    CannotBeTakenText,
    LineText,
    ImportGoodRowsText,
    WillBeImportedText,
    NoChannelsText = 422,
    TakeText,
};

// What a refusal says when channels would fall past channel 128.
constexpr int PastLastChannelText = 282;

ImportPreviewDialog::Hook& testHook()
{
    static ImportPreviewDialog::Hook hook;
    return hook;
}

QString q(const std::string& text)
{
    return QString::fromStdString(text);
}

QString rangeText(const std::vector<int>& rows)
{
    if (rows.empty())
        return {};
    const auto [low, high] = std::minmax_element(rows.begin(), rows.end());
    return *low == *high ? QString::number(*low + 1) : QStringLiteral("%1-%2").arg(*low + 1).arg(*high + 1);
}

}  // namespace

ImportPreviewDialog::ImportPreviewDialog(QWidget* parent, const RadioImage& image, IncomingChannels incoming,
                                         const QString& source, const LanguageText& text)
    : QDialog(parent), m_image(image), m_incoming(std::move(incoming)), m_text(text),
      m_taken(m_incoming.channels.size(), true)
{
    auto s = [this](int n) { return q(m_text(n)); };
    setWindowTitle(s(strings::StepImportChannels));
    auto* layout = new QVBoxLayout(this);

    auto* from = new QLabel(s(ChannelsFromText) + source, this);
    from->setObjectName(QStringLiteral("importSource"));
    layout->addWidget(from);

    auto* placeRow = new QHBoxLayout;
    placeRow->addWidget(new QLabel(s(PlaceThemText), this));
    m_afterLast = new QRadioButton(s(AfterLastText), this);
    m_fromChannel = new QRadioButton(s(FromChannelText), this);
    m_firstChannel = new QSpinBox(this);
    m_firstChannel->setRange(1, layout::ChannelCount);
    m_firstChannel->setAccessibleName(s(FromChannelText));
    m_replaceAll = new QRadioButton(s(ReplaceAllText), this);
    auto* group = new QButtonGroup(this);
    for (QRadioButton* button : {m_afterLast, m_fromChannel, m_replaceAll})
        group->addButton(button);
    m_afterLast->setChecked(true);
    placeRow->addWidget(m_afterLast);
    placeRow->addSpacing(12);
    placeRow->addWidget(m_fromChannel);
    placeRow->addWidget(m_firstChannel);
    placeRow->addSpacing(12);
    placeRow->addWidget(m_replaceAll);
    placeRow->addStretch();
    layout->addLayout(placeRow);

    m_table = new QTableWidget(0, ColumnCount, this);
    QStringList headers{s(TakeText)};
    for (int column : {ColNumber, ColName, ColRxFrequency, ColTxFrequency, ColRxTone, ColTxTone, ColPower})
        headers << s(ChannelColumnHeaders[column]);
    headers << s(NoteText);
    m_table->setHorizontalHeaderLabels(headers);
    m_table->verticalHeader()->hide();
    m_table->setSelectionMode(QAbstractItemView::NoSelection);
    m_table->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setWordWrap(true);
    m_table->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_table->setAccessibleName(s(strings::StepImportChannels));
    layout->addWidget(m_table, 1);

    m_unusableRow = new QWidget(this);
    auto* unusableLayout = new QHBoxLayout(m_unusableRow);
    unusableLayout->setContentsMargins(0, 0, 0, 0);
    auto* marked = new QLabel(s(MarkedText), m_unusableRow);
    m_unusable = new QComboBox(m_unusableRow);
    m_unusable->addItem(s(AsTheyAreText), int(UnusableChoice::AsIs));
    m_unusable->addItem(s(ReceiveOnlyChoiceText), int(UnusableChoice::ReceiveOnly));
    m_unusable->addItem(s(SkipThemText), int(UnusableChoice::Skip));
    // Safe first: a channel the radio may not transmit on arrives without a transmit frequency.
    m_unusable->setCurrentIndex(1);
    marked->setBuddy(m_unusable);
    unusableLayout->addWidget(marked);
    unusableLayout->addWidget(m_unusable);
    unusableLayout->addStretch();
    layout->addWidget(m_unusableRow);

    m_replacedRow = new QWidget(this);
    auto* replacedLayout = new QVBoxLayout(m_replacedRow);
    replacedLayout->setContentsMargins(0, 0, 0, 0);
    replacedLayout->addWidget(new QLabel(s(WillBeReplacedText), m_replacedRow));
    m_replaced = new QLabel(m_replacedRow);
    m_replaced->setObjectName(QStringLiteral("replacedChannels"));
    m_replaced->setWordWrap(true);
    m_replaced->setTextInteractionFlags(Qt::TextSelectableByMouse);
    replacedLayout->addWidget(m_replaced);
    m_confirmReplace = new QCheckBox(s(ReplaceThemText), m_replacedRow);
    replacedLayout->addWidget(m_confirmReplace);
    layout->addWidget(m_replacedRow);

    m_problemsRow = new QWidget(this);
    auto* problemsLayout = new QVBoxLayout(m_problemsRow);
    problemsLayout->setContentsMargins(0, 0, 0, 0);
    auto* problemsLabel = new QLabel(s(CannotBeTakenText), m_problemsRow);
    problemsLayout->addWidget(problemsLabel);
    m_problems = new QPlainTextEdit(m_problemsRow);
    m_problems->setReadOnly(true);
    m_problems->setLineWrapMode(QPlainTextEdit::NoWrap);
    m_problems->setMaximumHeight(m_problems->fontMetrics().lineSpacing() * 6);
    m_problems->setAccessibleName(s(CannotBeTakenText));
    QStringList lines;
    for (const CsvProblem& problem : m_incoming.problems)
        lines << (problem.line > 0 ? s(LineText) + QString::number(problem.line) + QStringLiteral(": ") : QString())
                     + q(problem.reason);
    m_problems->setPlainText(lines.join(QLatin1Char('\n')));
    problemsLayout->addWidget(m_problems);
    layout->addWidget(m_problemsRow);
    m_problemsRow->setVisible(!m_incoming.problems.empty());

    m_status = new QLabel(this);
    m_status->setObjectName(QStringLiteral("importStatus"));
    m_status->setWordWrap(true);
    layout->addWidget(m_status);

    auto* buttons = new QDialogButtonBox(this);
    m_import = buttons->addButton(s(ImportGoodRowsText), QDialogButtonBox::AcceptRole);
    buttons->addButton(s(strings::Cancel), QDialogButtonBox::RejectRole);
    connect(buttons, &QDialogButtonBox::accepted, this, [this] {
        if (canImport())
            accept();
    });
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    layout->addWidget(buttons);

    connect(group, &QButtonGroup::buttonToggled, this, [this](QAbstractButton*, bool checked) {
        if (checked)
            replan();
    });
    connect(m_firstChannel, &QSpinBox::valueChanged, this, [this] {
        m_fromChannel->setChecked(true);
        replan();
    });
    connect(m_unusable, &QComboBox::currentIndexChanged, this, [this] { replan(); });
    // A wrapped note takes the rows' height from the width the note gets.
    connect(m_table->horizontalHeader(), &QHeaderView::sectionResized, this, [this](int column) {
        if (column == NoteColumn)
            m_table->resizeRowsToContents();
    });
    connect(m_confirmReplace, &QCheckBox::toggled, this, [this] { replan(); });
    connect(m_table, &QTableWidget::itemChanged, this, [this](QTableWidgetItem* item) {
        if (m_filling || item->column() != TakeColumn)
            return;
        const int k = item->data(Qt::UserRole).toInt();
        if (k >= 0 && k < int(m_taken.size()))
            m_taken[k] = item->checkState() == Qt::Checked;
        replan();
    });

    replan();
    // Room for the table's columns and a screenful of rows.
    const QSize screen = parent && parent->screen() ? parent->screen()->availableSize() : QSize(1280, 800);
    resize(std::min(980, screen.width() * 9 / 10), std::min(620, screen.height() * 4 / 5));
}

ImportChoices ImportPreviewDialog::choices() const
{
    ImportChoices choices;
    if (m_fromChannel->isChecked())
        choices.placement = {PlaceMode::FromChannel, m_firstChannel->value() - 1};
    else if (m_replaceAll->isChecked())
        choices.placement = {PlaceMode::ReplaceAll, 0};
    choices.unusable = static_cast<UnusableChoice>(m_unusable->currentData().toInt());
    choices.taken = m_taken;
    choices.namesBesideExisting = m_namesBesideExisting;
    return choices;
}

void ImportPreviewDialog::setNamesBesideExisting(bool beside)
{
    m_namesBesideExisting = beside;
    replan();
}

bool ImportPreviewDialog::canImport() const
{
    return m_plan.arriving > 0 && !m_plan.refused() && (m_plan.overwritten.empty() || m_confirmReplace->isChecked());
}

void ImportPreviewDialog::setPlacement(const Placement& placement)
{
    if (placement.mode == PlaceMode::FromChannel) {
        m_firstChannel->setValue(placement.row + 1);
        m_fromChannel->setChecked(true);
    } else {
        (placement.mode == PlaceMode::ReplaceAll ? m_replaceAll : m_afterLast)->setChecked(true);
    }
}

void ImportPreviewDialog::setUnusableChoice(UnusableChoice choice)
{
    m_unusable->setCurrentIndex(m_unusable->findData(int(choice)));
}

void ImportPreviewDialog::setTaken(int incoming, bool taken)
{
    for (int row = 0; row < m_table->rowCount(); ++row) {
        QTableWidgetItem* item = m_table->item(row, TakeColumn);
        if (item->data(Qt::UserRole).toInt() == incoming)
            item->setCheckState(taken ? Qt::Checked : Qt::Unchecked);
    }
}

void ImportPreviewDialog::confirmReplace(bool confirmed)
{
    m_confirmReplace->setChecked(confirmed);
}

QString ImportPreviewDialog::statusText() const
{
    return m_status->text();
}

QString ImportPreviewDialog::replacedText() const
{
    return m_replacedRow->isHidden() ? QString() : m_replaced->text();
}

QStringList ImportPreviewDialog::problemLines() const
{
    const QString text = m_problems->toPlainText();
    return text.isEmpty() ? QStringList() : text.split(QLatin1Char('\n'));
}

void ImportPreviewDialog::replan()
{
    m_plan = PlanImport(m_image, m_incoming, choices());

    // The programmed channels it would replace, to be confirmed again whenever they change.
    QStringList replaced;
    for (int row : m_plan.overwritten) {
        const QString name = q(ChannelNameText(m_image.extensionSlot(row)));
        replaced << (name.isEmpty() ? QString::number(row + 1) : QString::number(row + 1) + QLatin1Char(' ') + name);
    }
    const QString replacedText = replaced.join(QStringLiteral(", "));
    if (replacedText != m_lastReplaced) {
        m_lastReplaced = replacedText;
        const QSignalBlocker quiet(m_confirmReplace);
        m_confirmReplace->setChecked(false);
    }
    m_replaced->setText(replacedText);
    m_replacedRow->setVisible(!replaced.isEmpty());

    const bool flagged = std::any_of(m_plan.channels.begin(), m_plan.channels.end(),
                                     [](const PlannedChannel& c) { return c.flags != 0; });
    m_unusableRow->setVisible(flagged);

    std::vector<int> rows;
    for (const PlannedChannel& planned : m_plan.channels)
        if (planned.row >= 0)
            rows.push_back(planned.row);
    if (m_incoming.channels.empty()) {
        m_status->setText(q(m_text(NoChannelsText)));
    } else if (m_plan.refused()) {
        m_status->setText(QString::number(m_plan.pastEnd) + QLatin1Char(' ') + q(m_text(PastLastChannelText)));
    } else {
        m_status->setText(QString::number(m_plan.arriving) + q(m_text(WillBeImportedText)) + rangeText(rows));
    }
    m_import->setEnabled(canImport());
    fillTable();
}

void ImportPreviewDialog::fillTable()
{
    m_filling = true;
    const ChannelWords words = ChannelWords::fromLanguage(m_text);
    m_table->setRowCount(int(m_incoming.channels.size()));
    RadioImage scratch;
    const QColor warning = palette().color(QPalette::Active, QPalette::Text).lightness() > 128 ? QColor(255, 120, 110)
                                                                                              : QColor(190, 0, 0);
    for (int k = 0; k < int(m_incoming.channels.size()); ++k) {
        const IncomingChannel& incoming = m_incoming.channels[std::size_t(k)];
        const PlannedChannel& planned = m_plan.channels[std::size_t(k)];
        WriteChannel(scratch, 0, incoming.channel);
        ChannelRow row = ChannelRowTexts(scratch, 0, words);
        if (planned.fate == Fate::ReceiveOnly) {
            row[ColTxFrequency].clear();
            row[ColTxTone] = words.offText;
        }
        if (planned.arrives())
            row[ColName] = planned.name.name;

        auto set = [&](int column, const QString& text) {
            QTableWidgetItem* item = m_table->item(k, column);
            if (!item) {
                item = new QTableWidgetItem;
                m_table->setItem(k, column, item);
            }
            item->setText(text);
            item->setForeground(planned.arrives() ? palette().color(QPalette::Text)
                                                  : palette().color(QPalette::Disabled, QPalette::Text));
            return item;
        };
        QTableWidgetItem* take = set(TakeColumn, QString());
        take->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
        take->setCheckState(m_taken[std::size_t(k)] ? Qt::Checked : Qt::Unchecked);
        take->setData(Qt::UserRole, k);
        set(ChannelColumn, (planned.flags ? QStringLiteral("! ") : QString())
                               + (planned.row >= 0 ? QString::number(planned.row + 1) : QStringLiteral("-")));
        set(NameColumn, q(row[ColName]));
        QTableWidgetItem* rx = set(RxColumn, q(row[ColRxFrequency]));
        QTableWidgetItem* tx = set(TxColumn, q(row[ColTxFrequency]));
        set(RxToneColumn, q(row[ColRxTone]));
        set(TxToneColumn, q(row[ColTxTone]));
        set(PowerColumn, q(row[ColPower]));
        const QString note = q(ImportNoteText(planned, incoming, m_text));
        QTableWidgetItem* noteItem = set(NoteColumn, note);
        noteItem->setToolTip(note);
        if (planned.flags & ReceiveOutsideLimits)
            rx->setForeground(warning);
        if (planned.flags & (TransmitOutsideLimits | TransmitOutsideWindows) && planned.fate != Fate::ReceiveOnly)
            tx->setForeground(warning);
    }
    // The note takes what is left and wraps; the other columns fit their texts.
    for (int column = 0; column < NoteColumn; ++column)
        m_table->resizeColumnToContents(column);
    m_table->resizeRowsToContents();
    m_filling = false;
}

int ImportPreviewDialog::run()
{
    if (testHook())
        return testHook()(*this);
    return exec();
}

void ImportPreviewDialog::setTestHook(Hook hook)
{
    testHook() = std::move(hook);
}

}  // namespace tarn
