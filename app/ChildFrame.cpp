#include "app/ChildFrame.h"

#include "pages/PageView.h"

CChildFrame::CChildFrame(tarn::RadioImage* image, QWidget* parent)
    : QMdiSubWindow(parent), m_image(image)
{
    // Closing a page ends its frame; the main frame's pointer to it clears itself.
    setAttribute(Qt::WA_DeleteOnClose);
}

void CChildFrame::setPage(PageView* page)
{
    m_page = page;
    setWidget(page);
}
