// A page that shows nothing yet, standing in for a page still being built; it counts
// the contract calls so the frame's page handling can be watched.
#pragma once

#include "pages/PageView.h"

class PlaceholderPage : public PageView {
    Q_OBJECT
public:
    explicit PlaceholderPage(const PageContext& context, QWidget* parent = nullptr);

    void LoadFromImage() override { ++loads; }
    void StoreToImage() override { ++stores; }

    int loads = 0;
    int stores = 0;
};
