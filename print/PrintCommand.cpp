#include "print/PrintCommand.h"

#include "print/PrintPages.h"

#include <QDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>

namespace tarn::print {

bool printWithDialog(QWidget* parent, const PrintContent& content,
                     const std::function<int(QPrintDialog&)>& runDialog)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QString::fromStdString(content.languageString(29)));
    QPrintDialog dialog(&printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);
    const int result = runDialog ? runDialog(dialog) : dialog.exec();
    if (result != QDialog::Accepted)
        return false;
    // Errors of the printer are the print system's to report.
    printConfiguration(printer, content, printer.fromPage(), printer.toPage());
    return true;
}

void showPrintPreview(QWidget* parent, const PrintContent& content,
                      const std::function<int(QPrintPreviewDialog&)>& runDialog)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QString::fromStdString(content.languageString(29)));
    QPrintPreviewDialog dialog(&printer, parent);
    QObject::connect(&dialog, &QPrintPreviewDialog::paintRequested, &dialog,
                     [&content](QPrinter* target) {
                         printConfiguration(*target, content, target->fromPage(), target->toPage());
                     });
    if (runDialog)
        runDialog(dialog);
    else
        dialog.exec();
}

}  // namespace tarn::print
