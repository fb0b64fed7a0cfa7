#include "app/ChannelCommands.h"

#include "app/FrameCommands.h"
#include "app/FramePrompts.h"
#include "app/MainFrame.h"
#include "app/PageWindows.h"
#include "app/ToolTipText.h"
#include "exchange/ChannelCsv.h"
#include "exchange/ChannelImport.h"
#include "pages/CellListCtrl.h"
#include "pages/ChannelDialogs.h"
#include "pages/ChannelStrings.h"
#include "pages/ChnMsgView.h"
#include "radio/ChannelOps.h"
#include "radio/Codecs.h"
#include "radio/LanguageStrings.h"

#include <QAction>
#include <QApplication>
#include <QInputDialog>
#include <QKeyEvent>

#include <algorithm>

namespace tarn {

namespace {

// Commands whose keys belong to the channel list: anywhere else (a cell editor, the find
// field, another page) the key stays with the control that has the keyboard.
constexpr int ListKeyCommands[] = {ID_CHANNELS_CUT,    ID_CHANNELS_COPY,       ID_CHANNELS_PASTE,
                                   ID_CHANNELS_CLEAR,  ID_CHANNELS_DELETE_SHIFT, ID_CHANNELS_INSERT,
                                   ID_CHANNELS_SELECT_ALL, ID_CHANNELS_MOVE_UP, ID_CHANNELS_MOVE_DOWN};

// The row commands the channel page's context menu shows after Copy, Paste and Cut (0: a
// separator).
constexpr int RowMenuCommands[] = {ID_CHANNELS_CLEAR,         ID_CHANNELS_DELETE_SHIFT, ID_CHANNELS_INSERT, 0,
                                   ID_CHANNELS_MOVE_UP,       ID_CHANNELS_MOVE_DOWN,    0,
                                   ID_CHANNELS_SORT_FREQUENCY, ID_CHANNELS_SORT_NAME,   ID_CHANNELS_SORT_TONE,
                                   ID_CHANNELS_PACK,          0,
                                   ID_CHANNELS_EDIT_SELECTED, ID_CHANNELS_FILL,         0,
                                   ID_CHANNELS_FIND,          ID_CHANNELS_GO_TO,        ID_CHANNELS_DUPLICATES};

}  // namespace

ChannelCommands::ChannelCommands(CMainFrame& frame, PageWindows& pages)
    : QObject(&frame), m_frame(frame), m_pages(pages)
{
    setObjectName(QStringLiteral("channelCommands"));
    registerCommands();
    connect(&m_frame, &CMainFrame::pageOpened, this, &ChannelCommands::onPageOpened);
    qApp->installEventFilter(this);
}

CChnMsgView* ChannelCommands::page(bool open) const
{
    if (open && !m_pages.page(PageKind::Channel))
        m_pages.openPage(PageKind::Channel);
    return static_cast<CChnMsgView*>(m_pages.page(PageKind::Channel));
}

QString ChannelCommands::stepName(int id) const
{
    const FrameCommand* command = findCommand(id);
    QString name = toolTipFromMenuText(command ? m_frame.languageString(command->languageString) : QString());
    while (name.endsWith(QLatin1Char('.')) || name.endsWith(QChar(0x2026)))
        name.chop(1);
    return name.trimmed();
}

int ChannelCommands::runDialog(QDialog& dialog) const
{
    return m_runDialog ? m_runDialog(dialog) : dialog.exec();
}

void ChannelCommands::onPageOpened(PageKind kind)
{
    CChnMsgView* channels = kind == PageKind::Channel ? page(false) : nullptr;
    if (!channels)
        return;
    channels->setTextPaste([this](const QString& text, int row) {
        tarn::Placement placement;
        placement.mode = tarn::PlaceMode::FromChannel;
        placement.row = row;
        m_frame.documents().previewImport(m_frame.languageString(strings::Paste),
                                          tarn::ReadPastedChannels(text.toStdString()), placement, true);
    });
    channels->setQuestion([this](const QString& question) {
        const QStringList buttons{m_frame.languageString(strings::Ok), m_frame.languageString(strings::Cancel)};
        return m_frame.prompts().askChoice(&m_frame, m_frame.languageString(strings::Title), buttons, question) == 0;
    });
    channels->setProblemReport([this](const QString& summary, const QStringList& lines) {
        m_frame.prompts().showReport(&m_frame, m_frame.languageString(strings::Title),
                                     m_frame.languageString(strings::Ok), summary, lines);
    });
    QList<QAction*> actions;
    for (int id : RowMenuCommands)
        actions << (id ? m_frame.commandAction(id) : nullptr);
    channels->setRowMenuActions(actions);
}

void ChannelCommands::registerCommands()
{
    // An operation on the rows as a step named after its menu entry.
    auto rowsCommand = [this](int id, bool selectionOnly,
                              std::function<ChannelOutcome(RadioImage&, const std::vector<int>&)> operation) {
        m_frame.setCommandHandler(id, [this, id, selectionOnly, operation] {
            CChnMsgView* channels = page(true);
            const std::vector<int> rows = channels->actionRows(selectionOnly);
            if (rows.empty())
                return;
            channels->applyToChannels(stepName(id), [&](RadioImage& image) { return operation(image, rows); });
        });
    };

    m_frame.setCommandHandler(ID_CHANNELS_COPY, [this] {
        CChnMsgView* channels = page(true);
        channels->copyRows(channels->actionRows(), false);
    });
    m_frame.setCommandHandler(ID_CHANNELS_CUT, [this] {
        CChnMsgView* channels = page(true);
        channels->copyRows(channels->actionRows(true), true);
    });
    m_frame.setCommandHandler(ID_CHANNELS_PASTE, [this] {
        CChnMsgView* channels = page(true);
        const std::vector<int> rows = channels->actionRows();
        if (!rows.empty())
            channels->pasteAt(rows.front());
    });
    // Emptying channels takes rows the user selected, never just the cell being edited.
    rowsCommand(ID_CHANNELS_CLEAR, true, [](RadioImage& image, const std::vector<int>& rows) {
        return ClearChannels(image, rows);
    });
    rowsCommand(ID_CHANNELS_DELETE_SHIFT, true, [](RadioImage& image, const std::vector<int>& rows) {
        return DeleteChannels(image, rows);
    });
    rowsCommand(ID_CHANNELS_INSERT, false, [](RadioImage& image, const std::vector<int>& rows) {
        return InsertChannels(image, rows.front());
    });
    rowsCommand(ID_CHANNELS_MOVE_UP, false, [](RadioImage& image, const std::vector<int>& rows) {
        return MoveChannelsUp(image, rows);
    });
    rowsCommand(ID_CHANNELS_MOVE_DOWN, false, [](RadioImage& image, const std::vector<int>& rows) {
        return MoveChannelsDown(image, rows);
    });
    const std::pair<int, SortKey> sorts[] = {{ID_CHANNELS_SORT_FREQUENCY, SortKey::ReceiveFrequency},
                                             {ID_CHANNELS_SORT_NAME, SortKey::Name},
                                             {ID_CHANNELS_SORT_TONE, SortKey::ReceiveTone}};
    for (const auto& [sortId, sortKey] : sorts) {
        // One row or none selected: the whole list.
        m_frame.setCommandHandler(sortId, [this, id = sortId, key = sortKey] {
            CChnMsgView* channels = page(true);
            const std::vector<int> rows = channels->actionRows(true);
            channels->applyToChannels(stepName(id),
                                      [&](RadioImage& image) { return SortChannels(image, rows, key); });
        });
    }
    m_frame.setCommandHandler(ID_CHANNELS_PACK, [this] {
        page(true)->applyToChannels(stepName(ID_CHANNELS_PACK), [](RadioImage& image) { return PackChannels(image); });
    });
    m_frame.setCommandHandler(ID_CHANNELS_SELECT_ALL, [this] { page(true)->selectAllRows(); });
    m_frame.setCommandHandler(ID_CHANNELS_EDIT_SELECTED, [this] { editSelected(); });
    m_frame.setCommandHandler(ID_CHANNELS_FILL, [this] { fill(); });
    m_frame.setCommandHandler(ID_CHANNELS_FIND, [this] { page(true)->openFindBar(); });
    m_frame.setCommandHandler(ID_CHANNELS_FIND_NEXT, [this] { page(true)->findAgain(false); });
    m_frame.setCommandHandler(ID_CHANNELS_FIND_PREVIOUS, [this] { page(true)->findAgain(true); });
    m_frame.setCommandHandler(ID_CHANNELS_GO_TO, [this] { goTo(); });
    m_frame.setCommandHandler(ID_CHANNELS_DUPLICATES, [this] { findDuplicates(); });
}

void ChannelCommands::editSelected()
{
    CChnMsgView* channels = page(true);
    const std::vector<int> rows = channels->actionRows();
    if (rows.empty())
        return;
    std::vector<ColumnChoicesDialog::Column> columns;
    for (int column : {ColPower, ColChoice6, ColBandwidth, ColBandLimited, ColChoice9, ColRxTone, ColTxTone})
        columns.push_back({column, m_frame.languageString(ChannelColumnHeaders[column]), channels->columnItems(column)});
    ColumnChoicesDialog dialog(stepName(ID_CHANNELS_EDIT_SELECTED), m_frame.languageString(strings::Unchanged), columns,
                               {m_frame.languageString(strings::Ok), m_frame.languageString(strings::Cancel)}, &m_frame);
    if (runDialog(dialog) != QDialog::Accepted)
        return;
    const std::vector<std::pair<int, QString>> choices = dialog.choices();
    if (choices.empty())
        return;
    const LanguageText text = m_frame.languageText();
    const ChannelWords words = ChannelWords::fromLanguage(text);
    // All the columns in one step: a refusal of any leaves every channel as it was.
    channels->applyToChannels(stepName(ID_CHANNELS_EDIT_SELECTED), [&](RadioImage& image) {
        RadioImage edited = image;
        ChannelOutcome all;
        for (const auto& [column, item] : choices) {
            const ChannelOutcome outcome = SetChannelColumn(edited, rows, column, item.toStdString(), words);
            if (outcome.refused())
                return outcome;
            all.adjusted = all.adjusted || outcome.adjusted;
            all.skipped = outcome.skipped;
            all.rows = outcome.rows;
        }
        image = edited;
        all.changed = 1;
        return all;
    });
}

void ChannelCommands::fill()
{
    CChnMsgView* channels = page(true);
    const std::vector<int> rows = channels->actionRows();
    if (rows.empty())
        return;
    // The first channel's receive frequency is where the run starts unless the user says.
    const RadioImage shown = channels->shownImage();
    const ChannelRow first = ChannelRowTexts(shown, rows.front(), ChannelWords::fromLanguage(m_frame.languageText()));
    FillDialog::Texts texts;
    texts.title = stepName(ID_CHANNELS_FILL);
    texts.start = m_frame.languageString(strings::StartFrequencyLabel);
    texts.step = m_frame.languageString(strings::StepLabel);
    texts.offset = m_frame.languageString(strings::OffsetLabel);
    texts.txTone = m_frame.languageString(strings::TxToneHeader);
    texts.count = m_frame.languageString(strings::ChannelCountLabel);
    texts.unchanged = m_frame.languageString(strings::Unchanged);
    texts.offText = m_frame.languageString(strings::Off);
    texts.buttons = {m_frame.languageString(strings::Ok), m_frame.languageString(strings::Cancel)};
    FillDialog dialog(texts, rows, QString::fromStdString(first[ColRxFrequency]), &m_frame);
    if (runDialog(dialog) != QDialog::Accepted)
        return;
    const std::optional<FillPlan> plan = dialog.plan();
    const std::vector<int> run = dialog.rows();
    if (!plan || run.empty())
        return;
    const ChannelWords words = ChannelWords::fromLanguage(m_frame.languageText());
    channels->applyToChannels(stepName(ID_CHANNELS_FILL),
                              [&](RadioImage& image) { return FillFrequencies(image, run, *plan, words); });
}

void ChannelCommands::goTo()
{
    CChnMsgView* channels = page(true);
    QInputDialog dialog(&m_frame);
    dialog.setWindowTitle(stepName(ID_CHANNELS_GO_TO));
    dialog.setLabelText(m_frame.languageString(strings::ChannelNumberLabel));
    dialog.setInputMode(QInputDialog::IntInput);
    dialog.setIntRange(1, layout::ChannelCount);
    const std::vector<int> rows = channels->actionRows();
    dialog.setIntValue(rows.empty() ? 1 : rows.front() + 1);
    dialog.setOkButtonText(m_frame.languageString(strings::Ok));
    dialog.setCancelButtonText(m_frame.languageString(strings::Cancel));
    if (runDialog(dialog) == QDialog::Accepted)
        channels->goToChannel(dialog.intValue());
}

void ChannelCommands::findDuplicates()
{
    CChnMsgView* channels = page(true);
    const std::vector<DuplicateGroup> groups = FindDuplicates(channels->shownImage());
    if (groups.empty()) {
        m_frame.showMessage(m_frame.languageString(strings::NoDuplicates));
        return;
    }
    const LanguageText text = m_frame.languageText();
    QStringList lines;
    for (const DuplicateGroup& group : groups)
        lines << QString::fromStdString(DuplicateGroupText(group, text));
    DuplicatesDialog dialog(stepName(ID_CHANNELS_DUPLICATES), lines,
                            {m_frame.languageString(strings::Ok), m_frame.languageString(strings::Cancel)}, &m_frame);
    if (runDialog(dialog) != QDialog::Accepted || dialog.chosen() < 0)
        return;
    channels->selectRows(groups[static_cast<std::size_t>(dialog.chosen())].rows);
}

bool ChannelCommands::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() != QEvent::ShortcutOverride)
        return QObject::eventFilter(watched, event);
    const QKeySequence key(static_cast<QKeyEvent*>(event)->keyCombination());
    const bool listKey = std::any_of(std::begin(ListKeyCommands), std::end(ListKeyCommands), [&](int id) {
        const QAction* action = m_frame.commandAction(id);
        return action && action->shortcuts().contains(key);
    });
    if (!listKey)
        return QObject::eventFilter(watched, event);
    const CChnMsgView* channels = page(false);
    if (channels && QApplication::focusWidget() == channels->list())
        return QObject::eventFilter(watched, event);
    // Anywhere else the key is the focused control's own (taken back as a key press).
    event->accept();
    return true;
}

}  // namespace tarn
