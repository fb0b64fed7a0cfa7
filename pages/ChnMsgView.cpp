#include "pages/ChnMsgView.h"

#include "pages/CellEditor.h"
#include "pages/CellListCtrl.h"
#include "pages/DialogUnits.h"
#include "radio/PrintContent.h"
#include "radio/Codecs.h"
#include "radio/LanguageStrings.h"
#include "radio/RadioImage.h"

#include <QCoreApplication>
#include <QHeaderView>
#include <QMenu>
#include <QVBoxLayout>

#include <algorithm>

using namespace tarn;

namespace {

constexpr int RowCount = layout::ChannelCount;

// Pixels.
constexpr std::array<int, ChannelColumnCount> ColumnWidths{44, 115, 115, 105, 105, 76, 76, 76, 76, 76, 80};

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
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(units.x(7), units.y(7), units.x(7), units.y(7));
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

    if (hasImage())
        for (int row = 0; row < RowCount; ++row)
            ShowChannel(row);
}

CChnMsgView::~CChnMsgView() = default;

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
    resetEditors();
    if (!hasImage())
        return;
    m_list->setUpdatesEnabled(false);
    for (int row = 0; row < RowCount; ++row)
        ShowChannel(row);
    m_list->setUpdatesEnabled(true);
}

void CChnMsgView::StoreToImage()
{
    if (!hasImage() || (m_context.mayStore && !m_context.mayStore()))
        return;
    // The same request a click on row 1, column 0 makes: it commits a pending edit
    // exactly as a click elsewhere would.
    m_edit->editor().open(1, 0);
    resetEditors();

    m_adjusted = false;
    for (int row = 0; row < RowCount; ++row)
        StoreChannel(row);
    if (m_adjusted)
        showMessage(languageString(126));
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
    if (m_readOnly || m_edit->editor().editState() == Idle)
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
    if (editor.editState() != Idle && row >= 0 && (column == ColRxFrequency || column == ColTxFrequency || column == ColName)
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
        edited->result = OnFrequencyEdited(edited->column(), edited->row(), edited->rowWasProgrammed());
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
    QMenu menu(this);
    QAction* copy = menu.addAction(languageString(133));
    QAction* paste = menu.addAction(languageString(134));
    QAction* cut = menu.addAction(languageString(135));
    // The menu opens upwards from the click: its bottom-left corner at the mouse.
    const QPoint at = m_list->viewport()->mapToGlobal(pos);
    QAction* chosen = menu.exec(at - QPoint(0, menu.sizeHint().height()));
    int command = 0;
    if (chosen == copy)
        command = ChannelCopyCommand;
    else if (chosen == paste)
        command = ChannelPasteCommand;
    else if (chosen == cut)
        command = ChannelCutCommand;
    m_targetRow = row;
    if (command)
        OnRowCommand(row, command);
}

void CChnMsgView::OnRowCommand(int targetRow, int command)
{
    if (targetRow < 0 || targetRow >= RowCount)
        return;
    m_targetRow = targetRow;
    switch (command - ChannelCopyCommand) {
    case 0:
        m_sourceRow = m_targetRow;
        m_cutMark = false;
        resetEditors();
        break;
    case 1:
        // Nothing was copied or cut yet; and a cut row pasted onto itself stays as it was.
        if (m_sourceRow < 0 || (m_cutMark && m_sourceRow == m_targetRow)) {
            resetEditors();
            break;
        }
        for (int c = ColRxFrequency; c <= ColName; ++c) {
            m_list->setCellText(m_targetRow, c, m_list->cellText(m_sourceRow, c));
            if (m_cutMark)
                m_list->setCellText(m_sourceRow, c, QString());
        }
        resetEditors();
        recordChange(languageString(m_cutMark ? strings::Cut : strings::Paste));
        break;
    case 2:
        m_sourceRow = m_targetRow;
        m_cutMark = true;
        break;
    default:
        break;
    }
}

PageView* createChannelPage(const PageContext& context, QWidget* parent)
{
    return new CChnMsgView(context, parent);
}
