// Tarn, the programming software of the dual-band handheld radio: the desktop program.
#include "app/MainFrame.h"
#include "app/RadioApp.h"

#include "TarnVersion.h"
#include "link/PortMap.h"

#ifdef TARN_HAVE_DEMO
#include "app/DemoRadio.h"
#endif

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>
#include <memory>

using namespace tarn;

namespace {

void describe(QCommandLineParser& parser)
{
    QCoreApplication::setApplicationName(QStringLiteral("Tarn"));
    QCoreApplication::setApplicationVersion(QStringLiteral(TARN_VERSION));
    parser.setApplicationDescription(QStringLiteral("Programming software for dual-band handheld radios."));
    parser.addHelpOption();
    parser.addVersionOption();
    parser.addOption({QStringLiteral("demo"), QStringLiteral("Talk to the built-in virtual radio.")});
    parser.addPositionalArgument(QStringLiteral("FILE"), QStringLiteral("A configuration (.tw) to open."),
                                 QStringLiteral("[FILE]"));
}

// --help and --version only print: they must work without a display.
bool onlyPrints(int argc, char* argv[])
{
    for (int i = 1; i < argc; ++i) {
        const QByteArray arg(argv[i]);
        if (arg == "-h" || arg == "--help" || arg == "--help-all" || arg == "-v" || arg == "--version")
            return true;
    }
    return false;
}

}  // namespace

int main(int argc, char* argv[])
{
    if (onlyPrints(argc, argv)) {
        QCoreApplication app(argc, argv);
        QCommandLineParser parser;
        describe(parser);
        parser.process(app);  // prints and ends the program
        return 0;
    }

    QApplication app(argc, argv);
    QCommandLineParser parser;
    describe(parser);
    parser.process(app);
    const QString portProblem = tarn::PortMap::assignmentError(qEnvironmentVariable("TARN_PORTS"));
    if (!portProblem.isEmpty()) {
        std::fprintf(stderr, "tarn: TARN_PORTS: %s\n", qPrintable(portProblem));
        return 2;
    }

#ifdef TARN_HAVE_DEMO
    // Declared before the application object so the radio outlives the window's last
    // transfer and stops only after it.
    std::unique_ptr<DemoRadio> demo;
    if (parser.isSet(QStringLiteral("demo"))) {
        demo = std::make_unique<DemoRadio>();
        QString error;
        if (!demo->start(&error)) {
            std::fprintf(stderr, "tarn: cannot start the virtual radio: %s\n", qPrintable(error));
            return 1;
        }
    }
#else
    if (parser.isSet(QStringLiteral("demo"))) {
        std::fprintf(stderr, "tarn: the virtual radio is not available on this system\n");
        return 1;
    }
#endif

    CRadioApp radioApp;
    if (!radioApp.InitInstance())
        return 1;
#ifdef TARN_HAVE_DEMO
    if (demo)
        demo->announce(radioApp.mainFrame());
#endif
    // A file named on the command line (or by the desktop's "Open with") opens as File > Open would.
    if (!parser.positionalArguments().isEmpty())
        radioApp.mainFrame()->documents().openConfiguration(parser.positionalArguments().constFirst());
    return app.exec();
}
