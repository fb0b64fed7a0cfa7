// The window's print commands: Print opens the three pages first and a cancelled dialog
// ends it quietly; Export PDF writes the pages tarn-cli print writes for the same file.
#include "../app/AppFixture.h"
#include "../common/CliProcess.h"

#include "radio/ChannelRecord.h"
#include "radio/ConfigFile.h"

#include <QPrintDialog>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>

using namespace tarn;

namespace {

struct PrintPrompts : ScriptedPrompts {
    int printDialogs = 0;
    int messages = 0;
    QString pdfPath;

    int runPrintDialog(QPrintDialog&) override
    {
        ++printDialogs;
        return QDialog::Rejected;
    }
    QString askPdfPath(QWidget*, const QString&) override { return pdfPath; }
    int showMessage(QWidget*, const QString&, const QString&, const QString&) override
    {
        ++messages;
        return QDialog::Accepted;
    }
};

QString pdfText(const QString& pdf)
{
    QProcess process;
    process.start(QStandardPaths::findExecutable(QStringLiteral("pdftotext")),
                  {QStringLiteral("-layout"), pdf, QStringLiteral("-")});
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

}  // namespace

class PrintWindowTest : public QObject {
    Q_OBJECT
private slots:
    void printOpensThePagesAndCancelsQuietly()
    {
        AppFixture f;
        auto* prompts = new PrintPrompts;
        f.frame()->setPrompts(std::unique_ptr<FramePrompts>(prompts));
        QSignalSpy opened(f.frame(), &CMainFrame::pageOpened);
        f.frame()->commandAction(ID_FILE_PRINT)->trigger();
        QCOMPARE(prompts->printDialogs, 1);
        QCOMPARE(prompts->messages, 0);
        QCOMPARE(opened.size(), 3);
        QCOMPARE(opened.at(0).at(0).value<PageKind>(), PageKind::Channel);
        QCOMPARE(opened.at(1).at(0).value<PageKind>(), PageKind::Options);
        QCOMPARE(opened.at(2).at(0).value<PageKind>(), PageKind::Keys);
    }

    void exportPdfEqualsTheCommandLine()
    {
        AppFixture f;
        auto* prompts = new PrintPrompts;
        f.frame()->setPrompts(std::unique_ptr<FramePrompts>(prompts));
        RadioImage image;
        const ChannelWords words{"en2", "en3", "en4", "en5", "en10", "en11", "en12", "en13"};
        for (int channel : {1, 64, 128}) {
            ChannelRow row{"", "146.52000", "146.52000", "en12", "88.5", "en3", "en5", "en11", "en10", "en13", "AB1"};
            StoreChannelRow(image, channel - 1, row, words);
        }
        const QString file = f.dir.filePath(QStringLiteral("radio.tw"));
        QCOMPARE(saveConfiguration(file.toStdString(), image).outcome, FileOutcome::Saved);
        prompts->openPath = [&] { return file; };
        f.frame()->documents().open();

        prompts->pdfPath = f.dir.filePath(QStringLiteral("window.pdf"));
        f.frame()->commandAction(ID_FILE_EXPORT_PDF)->trigger();
        QCOMPARE(prompts->messages, 0);
        const QString cli = f.dir.filePath(QStringLiteral("cli.pdf"));
        QCOMPARE(testing::runCli({QStringLiteral("print"), file, QStringLiteral("--pdf"), cli}, f.dir.path()).exitCode,
                 0);
        const QStringList fromWindow = pdfText(prompts->pdfPath).split('\f');
        const QStringList fromCli = pdfText(cli).split('\f');
        QVERIFY(fromWindow.first().contains(QStringLiteral("146.52000")));
        QCOMPARE(fromWindow.size(), fromCli.size());
        QCOMPARE(fromWindow, fromCli);

        // A file that cannot be written says so.
        prompts->pdfPath = f.dir.filePath(QStringLiteral("missing/window.pdf"));
        f.frame()->commandAction(ID_FILE_EXPORT_PDF)->trigger();
        QCOMPARE(prompts->messages, 1);
    }
};

QTEST_MAIN(PrintWindowTest)
#include "tst_print_window.moc"
