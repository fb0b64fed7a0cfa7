// The window's printing: the print dialog with the pages sent to the printer, and the
// toolkit's print preview of the same pages. Both draw through printConfiguration.
#pragma once

#include "radio/PrintContent.h"

#include <functional>

class QPrintDialog;
class QPrintPreviewDialog;
class QWidget;

namespace tarn::print {

// Runs the print dialog and prints the chosen pages. A cancelled dialog prints nothing and
// returns false. `runDialog` stands in for the dialog's modal loop (tests).
bool printWithDialog(QWidget* parent, const PrintContent& content,
                     const std::function<int(QPrintDialog&)>& runDialog = {});

// The toolkit's preview dialog over the same pages; `runDialog` as above.
void showPrintPreview(QWidget* parent, const PrintContent& content,
                      const std::function<int(QPrintPreviewDialog&)>& runDialog = {});

}  // namespace tarn::print
