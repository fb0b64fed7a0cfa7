// The one place where the editing pages are made, so the frame needs no page classes.
#pragma once

#include "pages/PageView.h"

enum class PageKind { Channel, Options, Keys };

PageView* createPage(PageKind kind, const PageContext& context, QWidget* parent);
