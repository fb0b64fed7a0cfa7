// The editing pages as data: one row per page kind gives its view, its frame's size as
// fiftieths of the main window and its title's language string, so the frame needs no
// page classes and no switch over the kinds.
#pragma once

#include "pages/PageView.h"

#include <span>

namespace tarn {

// In the order the pages store, load and reopen.
enum class PageKind { Channel, Options, Keys };

struct PageKindRow {
    PageKind kind;
    int commandId;        // the command that opens or activates the page
    int titleString;      // language string of the page's frame title, and its tree item
    int widthFiftieths;   // of the main window's outer width
    int heightFiftieths;  // of the main window's outer height
    PageView* (*create)(const PageContext& context, QWidget* parent);
};

// Row k describes PageKind k.
std::span<const PageKindRow> pageKinds();
const PageKindRow& pageKindRow(PageKind kind);

PageView* createPage(PageKind kind, const PageContext& context, QWidget* parent);

}  // namespace tarn
