#include "app/PageFactory.h"

#include "app/FrameCommands.h"
#include "pages/ChnMsgView.h"
#include "pages/ChoiceFunView.h"
#include "pages/KeySetView.h"

namespace tarn {

namespace {

constexpr PageKindRow rows[] = {
    {PageKind::Channel, ID_CHANNEL_PAGE, 1, 43, 42, &createChannelPage},
    {PageKind::Options, ID_OPTIONS_PAGE, 27, 43, 40, &createOptionsPage},
    {PageKind::Keys, ID_KEYS_PAGE, 28, 40, 33, &createKeyPage},
};

}  // namespace

std::span<const PageKindRow> pageKinds()
{
    return rows;
}

const PageKindRow& pageKindRow(PageKind kind)
{
    return rows[static_cast<int>(kind)];
}

PageView* createPage(PageKind kind, const PageContext& context, QWidget* parent)
{
    return pageKindRow(kind).create(context, parent);
}

}  // namespace tarn
