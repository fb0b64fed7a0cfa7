// Tarn, the programming software of the dual-band handheld radio: the desktop program.
#include "app/RadioApp.h"

#ifdef TARN_HAVE_DEMO
#include "app/DemoRadio.h"
#endif

#include <QApplication>
#include <QCommandLineParser>

#include <cstdio>
#include <memory>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarn"));
    QApplication::setApplicationVersion(QStringLiteral("1.1"));

    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({QStringLiteral("demo"), QStringLiteral("Talk to the built-in virtual radio.")});
    parser.process(app);

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
    return app.exec();
}
