#include "app/ChildFrame.h"

#include "pages/PageView.h"

#include <QCloseEvent>
#include <QScrollArea>

namespace tarn {

CChildFrame::CChildFrame(tarn::RadioImage* image, QWidget* parent)
    : QMdiSubWindow(parent), m_image(image)
{
    // Closing a page ends its frame; the main frame's pointer to it clears itself.
    setAttribute(Qt::WA_DeleteOnClose);
}

void CChildFrame::setPage(PageView* page)
{
    m_page = page;
    if (page->minimumSize().isEmpty()) {
        setWidget(page);
        return;
    }
    // A page laid out at fixed places scrolls when its frame is smaller (tiled windows).
    auto* scroll = new QScrollArea;
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(true);
    scroll->setWidget(page);
    setWidget(scroll);
}

void CChildFrame::closeEvent(QCloseEvent* event)
{
    emit closing();
    QMdiSubWindow::closeEvent(event);
}

}  // namespace tarn
