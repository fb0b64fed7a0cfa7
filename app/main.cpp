// Tarn, the programming software of the dual-band handheld radio: the desktop program.
#include "app/RadioApp.h"

#include <QApplication>
#include <QCommandLineParser>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tarn"));
    QApplication::setApplicationVersion(QStringLiteral("1.1"));

    QCommandLineParser parser;
    parser.addHelpOption();
    parser.addOption({QStringLiteral("demo"), QStringLiteral("Talk to the built-in virtual radio.")});
    parser.process(app);

    CRadioApp radioApp;
    if (!radioApp.InitInstance())
        return 1;
    return app.exec();
}
