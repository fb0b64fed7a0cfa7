// The window's printing: the print dialog with the pages sent to the printer, and the
// toolkit's print preview of the same pages. Both draw through printConfiguration.
#pragma once

#include "radio/PrintContent.h"

#include <functional>

class QPrintDialog;
class QPrintPreviewDialog;
class QWidget;

namespace tarn::print {

// The print dialog's own option: the channel pages hold only the programmed channels.
inline constexpr int ProgrammedOnlyString = 431;
inline constexpr int PrintOptionsTitleString = 432;
inline constexpr const char* ProgrammedOnlyName = "programmedOnly";

// Runs the print dialog and prints the chosen pages. A cancelled dialog prints nothing and
// returns false. The dialog offers "Programmed channels only" (off) on a tab of its own,
// the check box named ProgrammedOnlyName. `runDialog` stands in for the dialog's modal
// loop (tests).
bool printWithDialog(QWidget* parent, const PrintContent& content,
                     const std::function<int(QPrintDialog&)>& runDialog = {});

// The toolkit's preview dialog over the same pages; `runDialog` as above.
void showPrintPreview(QWidget* parent, const PrintContent& content,
                      const std::function<int(QPrintPreviewDialog&)>& runDialog = {});

}  // namespace tarn::print
