#include "app/PlaceholderPage.h"

PlaceholderPage::PlaceholderPage(const PageContext& context, QWidget* parent)
    : PageView(context, parent)
{
    setMinimumSize(200, 120);
}
