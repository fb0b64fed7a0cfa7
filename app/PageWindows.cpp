#include "app/PageWindows.h"

#include "app/ChildFrame.h"
#include "app/FrameCommands.h"
#include "app/MainFrame.h"
#include "app/PagePlacement.h"
#include "document/Configuration.h"
#include "lang/ResourceLookup.h"
#include "pages/CellListCtrl.h"
#include "pages/ChnMsgView.h"
#include "pages/ChoiceFunView.h"
#include "radio/BandSettings.h"
#include "radio/LanguageStrings.h"
#include "radio/PrintContent.h"

#include <QLineEdit>
#include <QMdiArea>
#include <QMenu>
#include <QMdiSubWindow>
#include <QStyle>

namespace tarn {

PageWindows::PageWindows(CMainFrame& frame, tarn::Configuration& document, QMdiArea* area)
    : QObject(&frame), m_frame(frame), m_document(document), m_area(area), m_frames(pageKinds().size())
{
    const QString viewIcon = tarn::findResourceFile(QStringLiteral("view.ico"));
    if (!viewIcon.isEmpty())
        m_pageIcon = QIcon(viewIcon);
    // The history sees the values the open pages hold, without a store.
    m_document.setPageStore([this](tarn::RadioImage& target) { storeInto(target); });
    connect(&m_document, &tarn::Configuration::imageReplaced, this, &PageWindows::reloadOpenPages);
}

void PageWindows::registerCommands()
{
    for (const PageKindRow& row : pageKinds())
        m_frame.setCommandHandler(row.commandId, [this, kind = row.kind] { openPage(kind); });
    m_frame.setCommandHandler(ID_WINDOW_CASCADE, [this] { cascade(); });
    m_frame.setCommandHandler(ID_WINDOW_TILE_HORZ, [this] { tile(); });
    m_frame.setCommandHandler(ID_WINDOW_ARRANGE, [this] { arrangeIcons(); });
}

CChildFrame* PageWindows::pageFrame(PageKind kind) const
{
    const auto k = std::size_t(kind);
    return k < m_frames.size() ? m_frames[k].data() : nullptr;
}

PageView* PageWindows::page(PageKind kind) const
{
    CChildFrame* frame = pageFrame(kind);
    return frame ? frame->page() : nullptr;
}

void PageWindows::openPage(PageKind kind)
{
    QPointer<CChildFrame>& member = m_frames[std::size_t(kind)];
    if (member) {
        m_area->setActiveSubWindow(member);
        m_frame.applyTitle();
        return;
    }

    auto* frame = new CChildFrame(&m_document.image());
    PageContext context;
    context.document = &m_document;
    context.languageStrings = &m_frame.languageStrings();
    context.showMessage = [this](const QString& text) { m_frame.showMessage(text); };
    context.mayStore = [this] { return m_frame.pagesMayStore(); };
    PageView* page = createPage(kind, context, frame);
    if (!page) {
        delete frame;
        return;
    }
    frame->setPage(page);
    member = frame;
    m_area->addSubWindow(frame);
    if (!m_pageIcon.isNull())
        frame->setWindowIcon(m_pageIcon);
    connect(frame, &CChildFrame::closing, this, [this, kind] { storeClosingPage(kind); });

    const PageKindRow& row = pageKindRow(kind);
    const QSize area = m_area->viewport()->size();
    frame->resize(pageFrameSize(m_frame.frameGeometry().size(), row.widthFiftieths, row.heightFiftieths, area));

    page->LoadFromImage();
    // What the page normalises as it loads is no change of the user's.
    m_document.rebase();
    // The refresh after a read opens the channel page before the result is shown.
    if (m_frame.transferRunning())
        page->setReadOnly(true);
    frame->setWindowTitle(page->windowTitle().isEmpty() ? m_frame.languageString(row.titleString)
                                                        : page->windowTitle());
    frame->show();
    // The area chose a place for it; all of it stays in sight.
    frame->move(placeInside(frame->geometry(), area));
    m_area->setActiveSubWindow(frame);
    m_frame.applyTitle();
    emit pageOpened(kind);
}

void PageWindows::openChannelAt(int channel, int column)
{
    openPage(PageKind::Channel);
    auto* view = qobject_cast<CChnMsgView*>(page(PageKind::Channel));
    const int row = channel - 1;
    if (!view || row < 0 || row >= view->list()->rowCount())
        return;
    CellListCtrl* list = view->list();
    list->selectionModel()->setCurrentIndex(list->model()->index(row, column),
                                            QItemSelectionModel::ClearAndSelect | QItemSelectionModel::Rows);
    list->scrollToItem(list->item(row, column), QAbstractItemView::PositionAtCenter);
    list->setFocus(Qt::OtherFocusReason);
}

void PageWindows::openBandFrequency(bool bandA)
{
    openPage(PageKind::Options);
    auto* view = qobject_cast<CChoiceFunView*>(page(PageKind::Options));
    if (!view)
        return;
    const tarn::BandField& field = tarn::FindBandField(tarn::BandFieldId::Frequency);
    QWidget* box = view->settingControl(tarn::BandSettingKey(bandA ? tarn::Band::A : tarn::Band::B, field.key));
    if (!box)
        return;
    box->setFocus(Qt::OtherFocusReason);
    if (auto* edit = qobject_cast<QLineEdit*>(box))
        edit->selectAll();
}

void PageWindows::OpenPageByTitle(const QString& title)
{
    for (const PageKindRow& row : pageKinds()) {
        if (title == m_frame.languageString(row.titleString)) {
            openPage(row.kind);
            return;
        }
    }
}

void PageWindows::reloadOpenPages()
{
    for (const PageKindRow& row : pageKinds())
        if (PageView* view = page(row.kind))
            view->LoadFromImage();
}

void PageWindows::RefreshPages()
{
    reloadOpenPages();
    openPage(PageKind::Channel);
}

void PageWindows::StorePages()
{
    for (const PageKindRow& row : pageKinds())
        if (PageView* view = page(row.kind))
            view->StoreToImage();
}

void PageWindows::storeInto(tarn::RadioImage& target) const
{
    for (const PageKindRow& row : pageKinds())
        if (PageView* view = page(row.kind))
            view->storeInto(target);
}

void PageWindows::commitPending()
{
    for (const PageKindRow& row : pageKinds())
        if (PageView* view = page(row.kind))
            view->commitPending();
}

bool PageWindows::hasUnstoredEdits() const
{
    for (const PageKindRow& row : pageKinds())
        if (PageView* view = page(row.kind); view && view->hasUnstoredEdits())
            return true;
    return false;
}

void PageWindows::setReadOnly(bool readOnly)
{
    for (const PageKindRow& row : pageKinds())
        if (PageView* view = page(row.kind))
            view->setReadOnly(readOnly);
}

void PageWindows::storeClosingPage(PageKind kind)
{
    PageView* view = page(kind);
    if (!view || !m_frame.pagesMayStore() || !view->hasUnstoredEdits())
        return;
    // As before a save, notices included; the stored values are one step of the history.
    view->StoreToImage();
    m_document.recordChange(m_frame.languageString(tarn::strings::StepClosePage)
                                .arg(m_frame.languageString(pageKindRow(kind).titleString)));
}

void PageWindows::ReopenPages()
{
    // What the pages hold and have not stored yet would go with them.
    if (m_frame.pagesMayStore())
        StorePages();
    QList<PageKind> reopen;
    for (const PageKindRow& row : pageKinds()) {
        QPointer<CChildFrame>& member = m_frames[std::size_t(row.kind)];
        if (!member)
            continue;
        reopen << row.kind;
        CChildFrame* frame = member.data();
        frame->close();
        // The close only schedules the deletion; the page must be gone before it reopens.
        delete frame;
        member = nullptr;
    }
    for (PageKind kind : reopen)
        openPage(kind);
}

tarn::PrintContent PageWindows::printContent()
{
    for (const PageKindRow& row : pageKinds())
        openPage(row.kind);
    tarn::PrintContent content;
    for (const QString& text : m_frame.languageStrings())
        content.languageStrings.push_back(text.toStdString());
    for (const PageKindRow& row : pageKinds())
        if (PageView* view = page(row.kind))
            view->addToPrint(content);
    return content;
}

void PageWindows::listWindows(QMenu* menu)
{
    qDeleteAll(m_windowEntries);
    m_windowEntries.clear();
    const QList<QMdiSubWindow*> windows = m_area->subWindowList();
    if (windows.isEmpty())
        return;
    m_windowEntries << menu->addSeparator();
    for (int i = 0; i < windows.size(); ++i) {
        QMdiSubWindow* window = windows.at(i);
        const QString number = i < 9 ? QStringLiteral("&%1 ").arg(i + 1) : QStringLiteral("%1 ").arg(i + 1);
        QAction* entry = menu->addAction(number + window->windowTitle());
        entry->setCheckable(true);
        entry->setChecked(window == m_area->activeSubWindow());
        connect(entry, &QAction::triggered, this, [this, window = QPointer<QMdiSubWindow>(window)] {
            if (window) {
                m_area->setActiveSubWindow(window);
                m_frame.applyTitle();
            }
        });
        m_windowEntries << entry;
    }
}

void PageWindows::cascade()
{
    // Each page keeps the size it opens with, as far as the cascade leaves room.
    QList<QMdiSubWindow*> windows;
    for (QMdiSubWindow* window : m_area->subWindowList(QMdiArea::StackingOrder))
        if (!window->isMinimized())
            windows << window;
    const QSize area = m_area->viewport()->size();
    const int step = m_frame.style()->pixelMetric(QStyle::PM_TitleBarHeight, nullptr, &m_frame) + 4;
    for (int i = 0; i < windows.size(); ++i) {
        QMdiSubWindow* window = windows.at(i);
        QSize wanted = window->size();
        for (const PageKindRow& row : pageKinds())
            if (pageFrame(row.kind) == window)
                wanted = pageFrameSize(m_frame.frameGeometry().size(), row.widthFiftieths, row.heightFiftieths, area);
        if (window->isMaximized())
            window->showNormal();
        window->setGeometry(cascadeRect(i, int(windows.size()), wanted, area, step));
        window->raise();
    }
}

void PageWindows::tile()
{
    m_area->tileSubWindows();
}

void PageWindows::arrangeIcons()
{
    // Lines up the minimised pages along the bottom of the client area.
    int x = 0;
    const int bottom = m_area->viewport()->height();
    for (QMdiSubWindow* window : m_area->subWindowList()) {
        if (!window->isMinimized())
            continue;
        const QSize size = window->size();
        window->move(x, bottom - size.height());
        x += size.width();
    }
}

}  // namespace tarn
