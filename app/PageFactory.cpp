#include "app/PageFactory.h"

#include "app/PlaceholderPage.h"
#include "pages/ChnMsgView.h"

PageView* createPage(PageKind kind, const PageContext& context, QWidget* parent)
{
    switch (kind) {
    case PageKind::Channel:
        return createChannelPage(context, parent);
    case PageKind::Options:
        return new PlaceholderPage(context, parent);
    case PageKind::Keys:
        return new PlaceholderPage(context, parent);
    }
    return nullptr;
}
