// The printout as a user gets it from tarn-cli: a PDF whose text (read back with pdftotext)
// holds the page headers, the channels on the pages the page count rule gives and the
// settings page.
#include "../common/CliProcess.h"

#include "radio/ChannelRecord.h"
#include "radio/ConfigFile.h"
#include "radio/RadioImage.h"

#include <QProcess>
#include <QRegularExpression>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <QtTest>

using namespace tarn;

namespace {

// Channels 1, 64 and 128 programmed through the channel list's own rules.
void program(RadioImage& image, int channel, const std::string& frequency)
{
    const ChannelWords words{"High", "Low", "No", "Yes", "OFF", "ON", "OFF", "Carrier"};
    ChannelRow row{std::to_string(channel), frequency, frequency, "OFF", "OFF", "High", "Yes", "OFF", "OFF",
                   "OFF", "CH" + std::to_string(channel)};
    StoreChannelRow(image, channel - 1, row, words);
}

QString pageText(const QString& pdf, int page)
{
    QProcess process;
    process.start(QStandardPaths::findExecutable(QStringLiteral("pdftotext")),
                  {QStringLiteral("-layout"), QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                   QString::number(page), pdf, QStringLiteral("-")});
    process.waitForFinished(30000);
    return QString::fromUtf8(process.readAllStandardOutput());
}

// The channel numbers in the first column of a channel page.
QList<int> rowNumbers(const QString& text)
{
    QList<int> numbers;
    static const QRegularExpression row(QStringLiteral("^\\s*(\\d+)(\\s|$)"));
    for (const QString& line : text.split('\n')) {
        const QRegularExpressionMatch m = row.match(line);
        if (m.hasMatch())
            numbers << m.captured(1).toInt();
    }
    return numbers;
}

}  // namespace

class PrintPdfTest : public QObject {
    Q_OBJECT
private slots:
    void printoutHoldsChannelsSettingsAndHeaders_data()
    {
        QTest::addColumn<QString>("paper");
        QTest::newRow("A4") << "A4";
        QTest::newRow("Letter") << "Letter";
    }
    void printoutHoldsChannelsSettingsAndHeaders()
    {
        QFETCH(QString, paper);
        QVERIFY2(!QStandardPaths::findExecutable(QStringLiteral("pdftotext")).isEmpty(),
                 "pdftotext (poppler-utils) is missing");
        QTemporaryDir dir;
        RadioImage image;
        program(image, 1, "145.00000");
        program(image, 64, "146.50000");
        program(image, 128, "438.50000");
        const QString file = dir.filePath(QStringLiteral("radio.tw"));
        QCOMPARE(saveConfiguration(file.toStdString(), image).outcome, FileOutcome::Saved);

        const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
        const testing::CliRun run = testing::runCli(
            {QStringLiteral("print"), file, QStringLiteral("--pdf"), pdf, QStringLiteral("--paper"), paper},
            dir.path());
        QCOMPARE(run.exitCode, 0);
        const int pages = QRegularExpression(QStringLiteral("Wrote (\\d+) pages")).match(run.out).captured(1).toInt();
        QVERIFY(pages >= 2);

        for (int p = 1; p <= pages; ++p)
            QVERIFY2(pageText(pdf, p).contains(QStringLiteral("第 %1 页 / 共 %2 页").arg(p).arg(pages)),
                     qPrintable(QStringLiteral("header of page %1").arg(p)));
        QVERIFY(pageText(pdf, pages + 1).trimmed().isEmpty());

        // Page 1 is full, so it tells the rows per page, and with them the page count.
        const QString first = pageText(pdf, 1);
        const QList<int> rows = rowNumbers(first);
        QVERIFY(!rows.isEmpty());
        QCOMPARE(rows.front(), 1);
        const int perPage = static_cast<int>(rows.size());
        QCOMPARE(pages, 128 / perPage + (128 % perPage ? 2 : 1));
        QVERIFY(first.contains(QRegularExpression(QStringLiteral("^\\s*1\\s+145\\.00000\\s+145\\.00000.*CH1\\s*$"),
                                                  QRegularExpression::MultilineOption)));
        const QString last = pageText(pdf, pages - 1);
        QCOMPARE(rowNumbers(last).back(), 128);
        QVERIFY(last.contains(QRegularExpression(QStringLiteral("^\\s*128\\s+438\\.50000.*CH128\\s*$"),
                                                 QRegularExpression::MultilineOption)));

        const QString settings = pageText(pdf, pages);
        QVERIFY(!settings.contains(QStringLiteral("Rx freq")));
        // A new image's bands and side key, worded as the pages show them.
        for (const char* expected : {"VFO frequency=\\s+375\\.02500\\s+VFO frequency=\\s+136\\.02500",
                                     "A step=\\s+12\\.5\\s+B step=\\s+12\\.5", "Reset password=",
                                     "PF1 \\(side key\\): FM radio\\s+Long press: MONI\\s+Short press: Flashlight"})
            QVERIFY2(settings.contains(QRegularExpression(QString::fromLatin1(expected))), expected);
    }
};

QTEST_GUILESS_MAIN(PrintPdfTest)
#include "tst_print_pdf.moc"
