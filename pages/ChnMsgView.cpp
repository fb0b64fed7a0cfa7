#include "pages/ChnMsgView.h"

#include "pages/CellEditor.h"
#include "pages/CellListCtrl.h"
#include "pages/ChannelFindBar.h"
#include "pages/ChannelStrings.h"
#include "pages/DialogUnits.h"
#include "exchange/ChannelCsv.h"
#include "radio/PrintContent.h"
#include "radio/Codecs.h"
#include "radio/LanguageStrings.h"
#include "radio/RadioImage.h"

#include <QClipboard>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QHeaderView>
#include <QMenu>
#include <QMimeData>
#include <QVBoxLayout>

#include <algorithm>

namespace tarn {

namespace {

constexpr int RowCount = layout::ChannelCount;

// Pixels.
constexpr std::array<int, ChannelColumnCount> ColumnWidths{44, 115, 115, 105, 105, 76, 76, 76, 76, 76, 80};

// The columns a choice can be set for on many rows at once, in the list's order.
constexpr std::array<int, 7> ChoiceCellColumns{ColRxTone, ColTxTone, ColPower, ColChoice6, ColBandwidth, ColBandLimited,
                                               ColChoice9};

// Gives a cell editor the name of its column's header each time it is shown over a cell.
class EditorNamer : public QObject {
public:
    explicit EditorNamer(QTableWidget* list) : QObject(list), m_list(list) {}

protected:
    bool eventFilter(QObject* watched, QEvent* event) override
    {
        if (event->type() == QEvent::Show) {
            auto* editor = static_cast<QWidget*>(watched);
            const int column = m_list->columnAt(editor->geometry().center().x());
            if (const QTableWidgetItem* header = column >= 0 ? m_list->horizontalHeaderItem(column) : nullptr)
                editor->setAccessibleName(header->text());
        }
        return false;
    }

private:
    QTableWidget* m_list;
};

}  // namespace

CChnMsgView::CChnMsgView(const PageContext& context, QWidget* parent) : PageView(context, parent)
{
    m_words = ChannelWords::fromLanguage([this](int n) { return languageString(n).toStdString(); });

    setWindowTitle(languageString(1));
    // The form is 496 x 356 dialog units; the list keeps its 7-unit margin and fills the
    // rest, growing with the window.
    const DialogUnits units(font());
    resize(units.size(496, 356));
    m_list = new CellListCtrl(this);
    m_findBar = new ChannelFindBar({languageString(strings::Find), languageString(strings::FindNext),
                                    languageString(strings::FindPrevious), languageString(strings::NotFound)},
                                   this);
    m_findBar->hide();
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(units.x(7), units.y(7), units.x(7), units.y(7));
    layout->addWidget(m_findBar);
    layout->addWidget(m_list);

    QWidget* viewport = m_list->viewport();
    m_edit = new CellEdit(viewport);
    m_edit->editor().create(this, m_list, nullptr);
    for (auto& combo : m_combos) {
        combo = new CellCombo(viewport);
        combo->editor().create(this, m_list, &m_edit->editor());
    }

    for (const std::string& item : ToneListItems(m_words.offText))
        m_combos[0]->addItem(QString::fromStdString(item));
    // Each choice list offers its two words in language string order.
    for (const ChoiceColumn& choice : ChoiceColumns) {
        CellCombo* combo = choiceCombo(choice.column);
        combo->addItem(languageString(std::min(choice.stringFor0, choice.stringFor1)));
        combo->addItem(languageString(std::max(choice.stringFor0, choice.stringFor1)));
    }

    m_list->setShape(RowCount, ChannelColumnCount);
    QStringList headers;
    for (int header : ChannelColumnHeaders)
        headers << languageString(header);
    m_list->setHorizontalHeaderLabels(headers);
    m_list->horizontalHeader()->setSectionResizeMode(QHeaderView::Fixed);
    m_list->horizontalHeader()->setStretchLastSection(true);
    fitColumnWidths();
    m_list->setAccessibleName(languageString(1));

    m_edit->editor().registerColumn(ColRxFrequency);
    m_edit->editor().registerColumn(ColTxFrequency);
    m_edit->editor().registerColumn(ColName);
    m_combos[0]->editor().registerColumn(ColRxTone);
    m_combos[0]->editor().registerColumn(ColTxTone);
    m_combos[1]->editor().registerColumn(ColPower);
    m_combos[2]->editor().registerColumn(ColChoice6);
    m_combos[3]->editor().registerColumn(ColBandwidth);
    m_combos[4]->editor().registerColumn(ColChoice9);
    m_combos[5]->editor().registerColumn(ColBandLimited);

    // The editors move from column to column: each is named after the column it opens on.
    auto* namer = new EditorNamer(m_list);
    m_edit->installEventFilter(namer);
    for (CellCombo* combo : m_combos)
        combo->installEventFilter(namer);

    connect(m_list, &QTableWidget::cellClicked, this, &CChnMsgView::onListClicked);
    m_list->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_list, &QWidget::customContextMenuRequested, this, &CChnMsgView::onContextMenu);
    connect(m_list, &CellListCtrl::rowsDropped, this, &CChnMsgView::onRowsDropped);
    connect(m_findBar, &ChannelFindBar::findRequested, this, &CChnMsgView::onFindRequested);
    connect(m_findBar, &ChannelFindBar::closed, this, [this] { m_list->setFocus(Qt::OtherFocusReason); });

    if (hasImage())
        for (int row = 0; row < RowCount; ++row)
            ShowChannel(row);
}

CChnMsgView::~CChnMsgView()
{
    disconnectControls();
}

void CChnMsgView::fitColumnWidths()
{
    // The template's widths, widened where the header needs more in the current font (a
    // larger desktop font, a scaled screen, a longer translation).
    QHeaderView* header = m_list->horizontalHeader();
    for (int c = 0; c < ChannelColumnCount; ++c)
        m_list->setColumnWidth(c, qMax(ColumnWidths[c], header->sectionSizeHint(c)));
}

CellCombo* CChnMsgView::choiceCombo(int column) const
{
    switch (column) {
    case ColRxTone:
    case ColTxTone: return m_combos[0];
    case ColPower: return m_combos[1];
    case ColChoice6: return m_combos[2];
    case ColBandwidth: return m_combos[3];
    case ColChoice9: return m_combos[4];
    case ColBandLimited: return m_combos[5];
    default: return nullptr;
    }
}

void CChnMsgView::resetEditors()
{
    m_edit->editor().reset();
    // An editor left open with no current cell would take typing that nothing commits.
    m_edit->hide();
    for (CellCombo* combo : m_combos)
        combo->hide();
}

ChannelRow CChnMsgView::rowTexts(int row) const
{
    ChannelRow texts;
    for (int c = 0; c < ChannelColumnCount; ++c)
        texts[c] = m_list->cellText(row, c).toStdString();
    return texts;
}

void CChnMsgView::setRowTexts(int row, const ChannelRow& texts)
{
    for (int c = 0; c < ChannelColumnCount; ++c)
        m_list->setCellText(row, c, QString::fromStdString(texts[c]));
}

void CChnMsgView::LoadFromImage()
{
    ++m_loads;
    // The rows may hold other channels now: a pending cut no longer knows what it cut.
    endCut();
    resetEditors();
    if (!hasImage())
        return;
    m_list->setUpdatesEnabled(false);
    for (int row = 0; row < RowCount; ++row)
        ShowChannel(row);
    m_list->setUpdatesEnabled(true);
}

void CChnMsgView::store()
{
    // The same request a click on row 1, column 0 makes: it commits a pending edit
    // exactly as a click elsewhere would.
    m_edit->editor().open(1, 0);
    resetEditors();

    m_adjusted = false;
    for (int row = 0; row < RowCount; ++row)
        StoreChannel(row);
    if (m_adjusted)
        showMessage(languageString(strings::BandOptionCleared));
}

void CChnMsgView::addToPrint(PrintContent& content) const
{
    content.channels.clear();
    for (int row = 0; row < RowCount; ++row)
        content.channels.push_back(rowTexts(row));
}

void CChnMsgView::setReadOnly(bool readOnly)
{
    m_readOnly = readOnly;
    if (readOnly)
        resetEditors();
    // A disabled editor ignores the requests to open it (clicks, Tab moves already posted).
    m_edit->setEnabled(!readOnly);
    for (CellCombo* combo : m_combos)
        combo->setEnabled(!readOnly);
}

void CChnMsgView::storeInto(RadioImage& target) const
{
    for (int row = 0; row < RowCount; ++row) {
        ChannelRow texts = rowTexts(row);
        StoreChannelRow(target, row, texts, m_words);
    }
}

void CChnMsgView::commitPending()
{
    if (m_readOnly || m_edit->editor().editState() == EditState::Idle)
        return;
    // As at a store: the request a click on row 1, column 0 makes commits what is typed.
    m_edit->editor().open(1, 0);
    resetEditors();
}

bool CChnMsgView::hasUnstoredEdits() const
{
    if (!hasImage())
        return false;
    // The edit box's text still counts while the next transition would commit it.
    CellEditor& editor = m_edit->editor();
    const int row = editor.currentRow();
    const int column = editor.currentColumn();
    if (editor.editState() != EditState::Idle && row >= 0 && (column == ColRxFrequency || column == ColTxFrequency || column == ColName)
        && m_edit->text() != m_list->cellText(row, column))
        return true;
    // What a store would make of the rows, tried on a copy of the image.
    RadioImage stored = image();
    storeInto(stored);
    return !(stored == image());
}

QString CChnMsgView::stepName(int row, int column) const
{
    const QString header = column >= 0 && column < ChannelColumnCount ? languageString(ChannelColumnHeaders[column]) : QString();
    return languageString(tarn::strings::StepChannelCell).arg(row + 1).arg(header);
}

void CChnMsgView::ShowChannel(int row)
{
    setRowTexts(row, ShowChannelRow(image(), row, m_words));
}

void CChnMsgView::StoreChannel(int row)
{
    ChannelRow texts = rowTexts(row);
    if (StoreChannelRow(image(), row, texts, m_words)) {
        m_adjusted = true;
        m_list->setCellText(row, ColBandLimited, QString::fromStdString(texts[ColBandLimited]));
    }
}

int CChnMsgView::OnFrequencyEdited(int column, int row, bool rowWasProgrammed)
{
    if (row < 0 || row >= RowCount)
        return 1;
    FrequencyEditMode mode;
    if (column == ColRxFrequency)
        mode = rowWasProgrammed ? FrequencyEditMode::ProgrammedReceive : FrequencyEditMode::NewChannel;
    else if (column == ColTxFrequency)
        mode = FrequencyEditMode::Transmit;
    else
        return 1;
    ChannelRow texts = rowTexts(row);
    ApplyFrequencyEdit(texts, mode, m_words);
    setRowTexts(row, texts);
    return 1;
}

bool CChnMsgView::event(QEvent* event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::StyleChange)
        fitColumnWidths();
    if (event->type() == WM_CELL_COMMITTED) {
        auto* committed = static_cast<CellCommittedEvent*>(event);
        recordChange(stepName(committed->row, committed->column));
        return true;
    }
    if (event->type() == WM_FREQUENCY_EDITED) {
        auto* edited = static_cast<FrequencyEditedEvent*>(event);
        edited->result = OnFrequencyEdited(edited->column, edited->row, edited->rowWasProgrammed);
        return true;
    }
    return PageView::event(event);
}

void CChnMsgView::onListClicked(int row, int column)
{
    if (row < 0 || column < 0 || m_readOnly)
        return;
    // The row number opens the receive frequency.
    QWidget* editor = EditorRegistry::lookup(m_list, column == 0 ? 1 : column);
    if (editor)
        QCoreApplication::postEvent(editor, new EditCellEvent(row, column));
}

void CChnMsgView::onContextMenu(const QPoint& pos)
{
    const int row = m_list->rowAt(pos.y());
    if (row < 0 || m_readOnly)
        return;
    aimAt(row);
    QMenu menu(this);
    QAction* copy = menu.addAction(languageString(133));
    QAction* paste = menu.addAction(languageString(134));
    QAction* cut = menu.addAction(languageString(135));
    menu.addSeparator();
    // A choice for every selected row: column, then item.
    QMenu* setFor = menu.addMenu(languageString(strings::SetForSelectedRows));
    for (int column : ChoiceCellColumns) {
        QMenu* items = setFor->addMenu(languageString(ChannelColumnHeaders[column]));
        for (const QString& item : columnItems(column))
            items->addAction(item)->setData(QVariantList{column, item});
    }
    if (!m_rowActions.isEmpty())
        menu.addSeparator();
    for (QAction* action : m_rowActions) {
        if (action)
            menu.addAction(action);
        else
            menu.addSeparator();
    }
    // The menu opens upwards from the click: its bottom-left corner at the mouse.
    const QPoint at = m_list->viewport()->mapToGlobal(pos);
    QAction* chosen = menu.exec(at - QPoint(0, menu.sizeHint().height()));
    m_targetRow = row;
    if (chosen == copy)
        OnRowCommand(row, ChannelCopyCommand);
    else if (chosen == paste)
        OnRowCommand(row, ChannelPasteCommand);
    else if (chosen == cut)
        OnRowCommand(row, ChannelCutCommand);
    else if (chosen && chosen->data().toList().size() == 2)
        setColumnForRows(chosen->data().toList().at(0).toInt(), chosen->data().toList().at(1).toString());
}

void CChnMsgView::aimAt(int row)
{
    const std::vector<int> selected = selectedRows();
    if (!std::binary_search(selected.begin(), selected.end(), row))
        selectRows({row});
}

void CChnMsgView::OnRowCommand(int targetRow, int command)
{
    if (targetRow < 0 || targetRow >= RowCount || m_readOnly)
        return;
    m_targetRow = targetRow;
    aimAt(targetRow);
    const std::vector<int> rows = actionRows();
    switch (command) {
    case ChannelCopyCommand:
        copyRows(rows, false);
        break;
    case ChannelPasteCommand:
        pasteAt(rows.front());
        break;
    case ChannelCutCommand:
        copyRows(rows, true);
        break;
    default:
        break;
    }
}

std::vector<int> CChnMsgView::selectedRows() const
{
    return m_list->selectedRowNumbers();
}

std::vector<int> CChnMsgView::actionRows(bool selectionOnly) const
{
    std::vector<int> rows = selectedRows();
    if (!rows.empty() || selectionOnly)
        return rows;
    int row = m_edit->editor().currentRow();
    if (row < 0)
        row = m_list->currentRow();
    if (row >= 0 && row < RowCount)
        rows.push_back(row);
    return rows;
}

void CChnMsgView::selectRows(const std::vector<int>& rows)
{
    m_list->selectRowNumbers(rows);
}

void CChnMsgView::selectAllRows()
{
    m_list->selectAll();
}

RadioImage CChnMsgView::shownImage() const
{
    RadioImage shown = image();
    storeInto(shown);
    return shown;
}

LanguageText CChnMsgView::languageText() const
{
    return [this](int n) { return languageString(n).toStdString(); };
}

bool CChnMsgView::ask(const QString& question) const
{
    // Without a window to ask in (the page alone) the paste goes on, as it always did.
    return m_ask ? m_ask(question) : true;
}

void CChnMsgView::copyRows(const std::vector<int>& rows, bool cut)
{
    if (!hasImage() || m_readOnly || rows.empty())
        return;
    commitPending();
    endCut();
    const RadioImage now = m_context.document->current();
    const std::vector<std::uint8_t> bytes = ChannelsToBytes(CopyChannels(now, rows));
    auto* data = new QMimeData;
    data->setData(QLatin1String(ChannelsMimeType),
                  QByteArray(reinterpret_cast<const char*>(bytes.data()), static_cast<qsizetype>(bytes.size())));
    data->setText(QString::fromStdString(ChannelsToClipboardText(now, rows)));
    if (cut) {
        // The mark ties the clipboard to this cut: text copied elsewhere since is no cut.
        static quint64 cuts = 0;
        m_cutMark = QByteArray::number(QCoreApplication::applicationPid()) + ':'
                    + QByteArray::number(reinterpret_cast<quintptr>(this)) + ':' + QByteArray::number(++cuts);
        data->setData(QLatin1String(CutMarkMimeType), m_cutMark);
        m_cutRows = NormalizedRows(rows);
        markCutRows(true);
    }
    QGuiApplication::clipboard()->setMimeData(data);
}

std::optional<ChannelList> CChnMsgView::pastedChannels(const QMimeData& data)
{
    if (data.hasFormat(QLatin1String(ChannelsMimeType))) {
        const QByteArray bytes = data.data(QLatin1String(ChannelsMimeType));
        return ChannelsFromBytes(reinterpret_cast<const std::uint8_t*>(bytes.constData()),
                                 static_cast<std::size_t>(bytes.size()));
    }
    const QString text = data.text();
    if (text.trimmed().isEmpty())
        return std::nullopt;
    // Rows from a spreadsheet or another radio tool: the CSV rules, all or nothing.
    ClipboardChannels read = ChannelsFromClipboardText(text.toStdString());
    if (read.problems.empty())
        return std::move(read.channels);
    QStringList lines;
    for (const CsvProblem& problem : read.problems)
        lines << QString::number(problem.line) + QStringLiteral(": ") + QString::fromStdString(problem.reason);
    const QString summary = languageString(strings::PasteRefused);
    if (m_report)
        m_report(summary, lines);
    else
        showMessage(summary + QLatin1Char('\n') + lines.join(QLatin1Char('\n')));
    return std::nullopt;
}

void CChnMsgView::pasteAt(int at)
{
    if (!hasImage() || m_readOnly || at < 0 || at >= RowCount)
        return;
    commitPending();
    const QMimeData* data = QGuiApplication::clipboard()->mimeData();
    if (!data)
        return;
    const QByteArray cutMark = m_cutMark;
    const bool moving = !m_cutRows.empty() && !cutMark.isEmpty()
                        && data->data(QLatin1String(CutMarkMimeType)) == cutMark;
    std::function<ChannelOutcome(RadioImage&)> operation;
    if (moving) {
        // The cut channels as the rows hold them now, edits since the cut included.
        operation = [rows = m_cutRows, at](RadioImage& image) { return MoveChannelsOnto(image, rows, at); };
    } else {
        // Rows from a spreadsheet or another radio tool go through the import preview.
        if (m_textPaste && !data->hasFormat(QLatin1String(ChannelsMimeType)) && !data->text().trimmed().isEmpty()) {
            m_textPaste(data->text(), at);
            return;
        }
        std::optional<ChannelList> channels = pastedChannels(*data);
        if (!channels || channels->empty())
            return;
        operation = [channels = std::move(*channels), at](RadioImage& image) {
            return PasteChannels(image, at, channels);
        };
    }

    // Tried first: a refusal changes nothing, and the question names what would be lost.
    RadioImage trial = m_context.document->current();
    const ChannelOutcome preview = operation(trial);
    if (preview.refused()) {
        showMessage(QString::fromStdString(ChannelRefusalText(preview, languageText())));
        return;
    }
    if (preview.overwritten > 0 && !ask(QString::fromStdString(PasteQuestionText(preview.overwritten, languageText()))))
        return;
    applyToChannels(languageString(moving ? strings::Cut : strings::Paste), operation);
    if (moving) {
        // A cut is pasted once; a second Paste finds nothing rather than empty channels.
        endCut();
        QClipboard* clipboard = QGuiApplication::clipboard();
        if (const QMimeData* now = clipboard->mimeData(); now && now->data(QLatin1String(CutMarkMimeType)) == cutMark)
            clipboard->clear();
    }
}

ChannelOutcome CChnMsgView::applyToChannels(const QString& step,
                                            const std::function<ChannelOutcome(RadioImage&)>& operation)
{
    ChannelOutcome outcome;
    if (!hasImage() || m_readOnly)
        return outcome;
    commitPending();
    const int loads = m_loads;
    const bool changed = m_context.document->apply(step, [&](RadioImage& image) { outcome = operation(image); });
    // In the window every open page reloads as the step is made; alone, the page does it.
    if (changed && m_loads == loads)
        LoadFromImage();
    if (outcome.refused()) {
        showMessage(QString::fromStdString(ChannelRefusalText(outcome, languageText())));
        return outcome;
    }
    if (outcome.adjusted)
        showMessage(languageString(strings::BandOptionCleared));
    if (!outcome.rows.empty())
        selectRows(outcome.rows);
    return outcome;
}

void CChnMsgView::setColumnForRows(int column, const QString& text)
{
    const std::vector<int> rows = actionRows();
    applyToChannels(languageString(strings::SetForSelectedRows), [&](RadioImage& image) {
        return SetChannelColumn(image, rows, column, text.toStdString(), m_words);
    });
}

QStringList CChnMsgView::columnItems(int column) const
{
    QStringList items;
    if (const CellCombo* combo = choiceCombo(column))
        for (int i = 0; i < combo->count(); ++i)
            items << combo->itemText(i);
    return items;
}

void CChnMsgView::onRowsDropped(const std::vector<int>& rows, int before)
{
    if (m_readOnly)
        return;
    applyToChannels(languageString(strings::MoveChannels),
                    [&](RadioImage& image) { return MoveChannelsBefore(image, rows, before); });
}

void CChnMsgView::markCutRows(bool marked)
{
    QFont italic = m_list->font();
    italic.setItalic(true);
    for (int row : m_cutRows) {
        for (int c = 0; c < ChannelColumnCount; ++c) {
            QTableWidgetItem* cell = m_list->item(row, c);
            if (!cell)
                continue;
            cell->setData(Qt::ForegroundRole, marked ? QVariant(palette().brush(QPalette::Disabled, QPalette::Text)) : QVariant());
            cell->setData(Qt::FontRole, marked ? QVariant(italic) : QVariant());
        }
    }
}

void CChnMsgView::endCut()
{
    markCutRows(false);
    m_cutRows.clear();
    m_cutMark.clear();
}

void CChnMsgView::openFindBar()
{
    m_findBar->open();
}

void CChnMsgView::findAgain(bool backwards)
{
    if (m_findBar->text().isEmpty()) {
        openFindBar();
        return;
    }
    onFindRequested(m_findBar->text(), backwards, true);
}

void CChnMsgView::onFindRequested(const QString& text, bool backwards, bool again)
{
    if (text.isEmpty()) {
        m_findBar->setNotFound(false);
        return;
    }
    const std::vector<int> selected = selectedRows();
    const int current = !selected.empty() ? selected.front() : m_list->currentRow();
    // While the text is typed the current row itself may match; asked again, the search
    // goes on past it.
    const int from = again || current < 0 ? current : current - 1;
    const int row = FindChannelText(shownImage(), m_words, text.toStdString(), from, backwards);
    m_findBar->setNotFound(row < 0);
    if (row >= 0)
        selectRows({row});
}

void CChnMsgView::goToChannel(int number)
{
    if (number < 1 || number > RowCount)
        return;
    selectRows({number - 1});
    m_list->setFocus(Qt::OtherFocusReason);
}

PageView* createChannelPage(const PageContext& context, QWidget* parent)
{
    return new CChnMsgView(context, parent);
}

}  // namespace tarn
