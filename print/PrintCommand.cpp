#include "print/PrintCommand.h"

#include "print/PrintPages.h"
#include "radio/LanguageStrings.h"

#include <QCheckBox>
#include <QDialog>
#include <QPrintDialog>
#include <QPrintPreviewDialog>
#include <QPrinter>
#include <QVBoxLayout>

namespace tarn::print {

bool printWithDialog(QWidget* parent, const PrintContent& content,
                     const std::function<int(QPrintDialog&)>& runDialog)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QString::fromStdString(content.languageString(strings::ConfigurationTitle)));
    QPrintDialog dialog(&printer, parent);
    dialog.setOption(QAbstractPrintDialog::PrintPageRange, true);

    auto* options = new QWidget;
    options->setWindowTitle(QString::fromStdString(content.languageString(PrintOptionsTitleString)));
    auto* programmedOnly = new QCheckBox(QString::fromStdString(content.languageString(ProgrammedOnlyString)), options);
    programmedOnly->setObjectName(QLatin1String(ProgrammedOnlyName));
    auto* layout = new QVBoxLayout(options);
    layout->addWidget(programmedOnly);
    layout->addStretch();
    dialog.setOptionTabs({options});

    const int result = runDialog ? runDialog(dialog) : dialog.exec();
    if (result != QDialog::Accepted)
        return false;
    PrintContent printed = content;
    if (programmedOnly->isChecked())
        keepProgrammedChannels(printed);
    // Errors of the printer are the print system's to report.
    printConfiguration(printer, printed, printer.fromPage(), printer.toPage());
    return true;
}

void showPrintPreview(QWidget* parent, const PrintContent& content,
                      const std::function<int(QPrintPreviewDialog&)>& runDialog)
{
    QPrinter printer(QPrinter::HighResolution);
    printer.setDocName(QString::fromStdString(content.languageString(strings::ConfigurationTitle)));
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
