// The printout command of tarn-cli: "print" renders the pages the window would print for a
// configuration file into a PDF file, without a window.
#include "cli/CliFiles.h"
#include "cli/CliLanguage.h"
#include "cli/Commands.h"

#include "lang/LanguageTable.h"
#include "print/ImageContent.h"
#include "print/PrintPages.h"
#include "radio/ConfigFile.h"
#include "radio/RadioImage.h"

#include <QGuiApplication>

#include <memory>
#include <string_view>

namespace tarn::cli {

namespace {

const CommandOption PdfOption{"--pdf", "OUT.pdf", "The PDF file to write (required; \"-\" for standard output)."};
const CommandOption PaperOption{"--paper", "SIZE", "Paper size: A4 (default) or Letter."};
const CommandOption ProgrammedOnlyOption{"--programmed-only", "",
                                         "Channel pages with the programmed channels only (no empty rows)."};

// Fonts need the GUI side of Qt; without a display it runs on the offscreen platform.
std::unique_ptr<QGuiApplication> guiForFonts()
{
    if (QGuiApplication::instance())
        return nullptr;
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static int argc = 1;
    static char name[] = "tarn-cli";
    static char* argv[] = {name, nullptr};
    return std::make_unique<QGuiApplication>(argc, argv);
}

int runPrint(const Invocation& call)
{
    if (!call.has(PdfOption.name) || call.value(PdfOption.name).empty()) {
        call.err << "tarn-cli print: say where the PDF goes with --pdf OUT.pdf\n";
        return ExitError;
    }
    const QString paperName = QString::fromStdString(call.value(PaperOption.name, "A4"));
    QPageSize::PageSizeId paper = QPageSize::A4;
    if (paperName.compare(QLatin1String("Letter"), Qt::CaseInsensitive) == 0)
        paper = QPageSize::Letter;
    else if (paperName.compare(QLatin1String("A4"), Qt::CaseInsensitive) != 0) {
        call.err << "tarn-cli print: --paper is A4 or Letter, not '" << paperName.toStdString() << "'\n";
        return ExitError;
    }
    CliLanguage language;
    if (!loadLanguage(call, "print", language))
        return ExitError;

    const std::string& path = call.arguments[0];
    RadioImage image;
    if (!loadFile(call, "print", path, image))
        return ExitError;

    const auto gui = guiForFonts();
    std::vector<std::string> strings;
    for (int n = 0; n < LanguageTable::StringCount; ++n)
        strings.push_back(language.text(n));
    const std::string out = call.value(PdfOption.name);
    PrintContent content = print::contentFromImage(image, strings);
    if (call.has(ProgrammedOnlyOption.name))
        print::keepProgrammedChannels(content);
    int pages = 0;
    const QByteArray pdf = print::renderPrintPdf(content, paper, &pages);
    if (pages == 0) {
        call.err << "tarn-cli print: cannot write " << out << ": the PDF could not be drawn\n";
        return ExitError;
    }
    if (!sendOutput(call, "print", out, std::string_view(pdf.constData(), static_cast<std::size_t>(pdf.size()))))
        return ExitError;
    // Beside a PDF on standard output the line would spoil it.
    (isStandardOutput(out) ? call.err : call.out) << "Wrote " << pages << " pages to "
                                                  << (out == "-" ? std::string("standard output") : out) << "\n";
    return ExitOk;
}

}  // namespace

std::vector<Command> printCommands()
{
    return {
        {"print", "FILE", "Render the printout of a configuration file (the channel pages and the settings "
                          "page the window prints) into a PDF file.",
         1, 1, {PdfOption, LangOption, PaperOption, ProgrammedOnlyOption},
         [](const Invocation& c) { return guarded(c, "print", runPrint); }},
    };
}

}  // namespace tarn::cli
