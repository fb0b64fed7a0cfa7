// The printout as a user gets it from tarn-cli: a PDF whose text (read back with pdftotext)
// holds the page headers, the channels on the pages the page count rule gives and the
// settings page; whose column titles stay inside their columns in every language; and
// whose programmed-only form leaves out the empty rows.
#include "../common/CliProcess.h"

#include "radio/ChannelRecord.h"
#include "radio/ConfigFile.h"
#include "radio/RadioImage.h"

#include <QProcess>
#include <QSet>
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

struct Word {
    double xMin, yMin, xMax, yMax;
    QString text;
};

// The words of one page with their boxes, in points (pdftotext -bbox).
QList<Word> pageWords(const QString& pdf, int page)
{
    QProcess process;
    process.start(QStandardPaths::findExecutable(QStringLiteral("pdftotext")),
                  {QStringLiteral("-bbox"), QStringLiteral("-f"), QString::number(page), QStringLiteral("-l"),
                   QString::number(page), pdf, QStringLiteral("-")});
    process.waitForFinished(30000);
    const QString html = QString::fromUtf8(process.readAllStandardOutput());
    static const QRegularExpression word(QStringLiteral(
        "<word xMin=\"([\\d.]+)\" yMin=\"([\\d.]+)\" xMax=\"([\\d.]+)\" yMax=\"([\\d.]+)\">([^<]*)</word>"));
    QList<Word> words;
    for (auto it = word.globalMatch(html); it.hasNext();) {
        const QRegularExpressionMatch m = it.next();
        words.append({m.captured(1).toDouble(), m.captured(2).toDouble(), m.captured(3).toDouble(),
                      m.captured(4).toDouble(), m.captured(5)});
    }
    return words;
}

QString writePrintout(const QTemporaryDir& dir, const RadioImage& image, QStringList options, int* pages = nullptr)
{
    const QString file = dir.filePath(QStringLiteral("radio.tw"));
    if (saveConfiguration(file.toStdString(), image).outcome != FileOutcome::Saved)
        return {};
    const QString pdf = dir.filePath(QStringLiteral("out.pdf"));
    const testing::CliRun run =
        testing::runCli(QStringList{QStringLiteral("print"), file, QStringLiteral("--pdf"), pdf} + options, dir.path());
    if (run.exitCode != 0)
        return {};
    if (pages)
        *pages = QRegularExpression(QStringLiteral("Wrote (\\d+) pages")).match(run.out).captured(1).toInt();
    return pdf;
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
        image.functionData()[32] = 0;  // Dual watch (TDR) on: the radio keeps it inverted
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
            QVERIFY2(pageText(pdf, p).contains(QStringLiteral("Page %1 of %2").arg(p).arg(pages)),
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
        // The page shows Dual watch checked for a byte of 0: so does the printout.
        QVERIFY(settings.contains(QRegularExpression(QStringLiteral("Dual watch \\(TDR\\)=\\s+1"))));
        // A new image's bands and side key, worded as the pages show them.
        for (const char* expected : {"VFO frequency=\\s+375\\.02500\\s+VFO frequency=\\s+136\\.02500",
                                     "A step=\\s+12\\.5\\s+B step=\\s+12\\.5", "Reset password=",
                                     "PF1 \\(side key\\): FM radio\\s+Long press: MONI\\s+Short press: Flashlight"})
            QVERIFY2(settings.contains(QRegularExpression(QString::fromLatin1(expected))), expected);
    }

    // No column title runs over its column's right edge. The edges follow from the header:
    // its title starts at the table's left edge, its page number ends at the right one.
    void columnTitlesStayInTheirColumns_data()
    {
        QTest::addColumn<QString>("column");
        QTest::addColumn<QString>("pageNumber");
        QTest::newRow("English") << "2" << "Page 1 of %1";
        QTest::newRow("Simplified Chinese") << "0" << QStringLiteral("第 1 页 / 共 %1 页");
    }
    void columnTitlesStayInTheirColumns()
    {
        QFETCH(QString, column);
        QFETCH(QString, pageNumber);
        QTemporaryDir dir;
        int pages = 0;
        const QString pdf = writePrintout(dir, RadioImage(), {QStringLiteral("--lang"), column}, &pages);
        QVERIFY(!pdf.isEmpty());
        QVERIFY(pageText(pdf, 1).contains(pageNumber.arg(pages)));

        const QList<Word> words = pageWords(pdf, 1);
        QVERIFY(!words.isEmpty());
        double top = words.first().yMin;
        for (const Word& w : words)
            top = std::min(top, w.yMin);
        double left = 1e9, right = 0, headerBottom = 0, firstRow = 1e9;
        for (const Word& w : words) {
            if (w.yMin < top + 1) {
                left = std::min(left, w.xMin);
                right = std::max(right, w.xMax);
                headerBottom = std::max(headerBottom, w.yMax);
            } else if (w.text == QLatin1String("1")) {
                firstRow = std::min(firstRow, w.yMin);
            }
        }
        const double width = right - left;
        QVERIFY(width > 100);
        const int units[] = {0, 44, 159, 274, 379, 484, 564, 644, 724, 804, 884, 984};
        auto edge = [&](int c) { return left + units[c] * width / 984; };
        QSet<int> titled;
        for (const Word& w : words) {
            if (w.yMin <= headerBottom || w.yMax >= firstRow)
                continue;  // not on the title line
            int c = 0;
            while (c < 10 && edge(c + 1) <= w.xMin)
                ++c;
            titled.insert(c);
            QVERIFY2(w.xMax <= edge(c + 1) + 0.25,
                     qPrintable(QStringLiteral("'%1' ends at %2, its column at %3").arg(w.text).arg(w.xMax).arg(edge(c + 1))));
        }
        QCOMPARE(titled.size(), 11);
    }

    void programmedChannelsOnlyLeavesOutEmptyRows()
    {
        QTemporaryDir dir;
        RadioImage image;
        program(image, 1, "145.00000");
        program(image, 64, "146.50000");
        program(image, 128, "438.50000");
        int pages = 0;
        const QString pdf = writePrintout(dir, image, {QStringLiteral("--programmed-only")}, &pages);
        QVERIFY(!pdf.isEmpty());
        QCOMPARE(pages, 2);
        QCOMPARE(rowNumbers(pageText(pdf, 1)), (QList<int>{1, 64, 128}));
    }
};

QTEST_GUILESS_MAIN(PrintPdfTest)
#include "tst_print_pdf.moc"
