// The printout's page arithmetic and what each page holds, with a fixed-width measure so
// the positions can be checked without a device.
#include "print/PrintLayout.h"

#include <QtTest>

using namespace tarn;
using namespace tarn::print;

namespace {

constexpr int LineHeight = 100;

// Every character 10 units wide, whatever the face: "0000" is 40, gapX 8, gapY 1.
int measure(PrintFont, const std::string& text)
{
    return 10 * static_cast<int>(QString::fromStdString(text).size());
}

PrintMetrics metricsForLines(int lines)
{
    // The printable height that gives `lines` lines below the header.
    return beginPrinting(70, 60, LineHeight, 8000, (lines + 7) * LineHeight + 50);
}

PrintContent numberedChannels()
{
    PrintContent content;
    content.languageStrings.resize(150);
    for (int i = 0; i < layout::ChannelCount; ++i) {
        ChannelRow row;
        row[ColNumber] = std::to_string(i + 1);
        content.channels.push_back(row);
    }
    return content;
}

std::vector<std::string> textsInColumn(const PrintPage& page, const PrintMetrics& m, int column)
{
    std::vector<std::string> texts;
    for (const PrintText& t : page.texts)
        if (t.x == columnEdge(m, column) + 8 && t.y >= 6 * m.lineHeight)
            texts.push_back(t.text);
    return texts;
}

}  // namespace

class PrintLayoutTest : public QObject {
    Q_OBJECT
private slots:
    void pageCountFollowsLinesPerPage_data()
    {
        QTest::addColumn<int>("height");
        QTest::addColumn<int>("lines");
        QTest::addColumn<int>("rows");
        QTest::addColumn<int>("pages");
        QTest::newRow("41 lines: 40 rows, a short fourth page") << 4850 << 41 << 40 << 5;
        QTest::newRow("33 lines: 32 rows fill four pages") << 4050 << 33 << 32 << 5;
        QTest::newRow("129 lines: every channel on one page") << 13650 << 129 << 128 << 2;
        QTest::newRow("8 lines of paper: one row per page") << 899 << 1 << 1 << 129;
        QTest::newRow("less than the header: still one row per page") << 300 << 0 << 1 << 129;
    }
    void pageCountFollowsLinesPerPage()
    {
        QFETCH(int, height);
        QFETCH(int, lines);
        QFETCH(int, rows);
        QFETCH(int, pages);
        const PrintMetrics m = beginPrinting(70, 60, LineHeight, 8000, height);
        QCOMPARE(m.linesPerPage, lines);
        QCOMPARE(m.rows, rows);
        QCOMPARE(m.pageCount, pages);
    }

    void tableSpansThePrintWidth()
    {
        // 70 * 904 / 105 = 602 (truncated), 60 * 22 / 5 = 264.
        const PrintMetrics m = metricsForLines(41);
        QCOMPARE(m.printWidth, 866);
        QCOMPARE(m.printLeft, (8000 - 866) / 2);
        QCOMPARE(columnEdge(m, 0), m.printLeft);
        QCOMPARE(columnEdge(m, 1), m.printLeft + 44 * 866 / 984);
        QCOMPARE(columnEdge(m, 11), m.printLeft + m.printWidth);
        // Wider than the paper: centred all the same, starting left of the printable area.
        QCOMPARE(beginPrinting(1000, 1000, LineHeight, 100, 5000).printLeft, (100 - 13009) / 2);
    }

    void lastChannelPageEndsWithEmptyRows()
    {
        const PrintMetrics m = metricsForLines(41);
        const PrintContent content = numberedChannels();
        const PrintPage page4 = layoutPage(4, m, content, measure);
        std::vector<std::string> expected;
        for (int n = 121; n <= 128; ++n)
            expected.push_back(std::to_string(n));
        QCOMPARE(textsInColumn(page4, m, 0), expected);
        QCOMPARE(textsInColumn(layoutPage(1, m, content, measure), m, 0).front(), std::string("1"));
        QCOMPARE(textsInColumn(layoutPage(2, m, content, measure), m, 0).front(), std::string("41"));
        // Row k of the page sits on line k + 6.
        const auto row127 = std::find_if(page4.texts.begin(), page4.texts.end(),
                                         [](const PrintText& t) { return t.text == "128"; });
        QCOMPARE(row127->y, (7 + 6) * LineHeight + 10);
    }

    void columnTitlesAreCut_data()
    {
        QTest::addColumn<QString>("title");
        QTest::addColumn<QString>("printed");
        QTest::newRow("15 characters print whole") << "Receive freq 15" << "Receive freq 15";
        QTest::newRow("16 characters print 13") << "Receive freq. 16" << "Receive freq.";
        QTest::newRow("counted in characters, not bytes") << "接收频率接收频率接收频率接收频率" << "接收频率接收频率接收频率接";
    }
    void columnTitlesAreCut()
    {
        QFETCH(QString, title);
        QFETCH(QString, printed);
        QCOMPARE(QString::fromStdString(printedTitle(title.toStdString())), printed);
    }

    void headerIsRightAligned()
    {
        const PrintMetrics m = metricsForLines(41);
        PrintContent content = numberedChannels();
        content.languageStrings[29] = "Configuration";
        const PrintPage page = layoutPage(1, m, content, measure);
        const PrintText& pages = page.texts.at(page.texts.size() - 1);
        QCOMPARE(QString::fromStdString(pages.text), QStringLiteral("第 1 页 / 共 5 页"));
        QCOMPARE(pages.x + measure(pages.font, pages.text), m.printLeft + m.printWidth);
        QCOMPARE(pages.y, 3 * LineHeight);
        QCOMPARE(page.texts.at(page.texts.size() - 2).text, std::string("Configuration"));
    }

    // The page number's text comes from a file the user may edit: it is filled in, never
    // used as a printf format.
    void pageNumberFollowsTheLanguage_data()
    {
        QTest::addColumn<QString>("format");
        QTest::addColumn<QString>("printed");
        QTest::newRow("no text: the Chinese form") << "" << QStringLiteral("第 2 页 / 共 5 页");
        QTest::newRow("English") << "Page %d of %d" << "Page 2 of 5";
        QTest::newRow("other conversions stay text") << "%s%n p.%d/%d %d%%" << "%s%n p.2/5 %d%%";
    }
    void pageNumberFollowsTheLanguage()
    {
        QFETCH(QString, format);
        QFETCH(QString, printed);
        QCOMPARE(QString::fromStdString(pageHeaderText(2, 5, format.toStdString())), printed);
    }

    void settingValues_data()
    {
        QTest::addColumn<int>("label");
        QTest::addColumn<int>("selection");
        QTest::addColumn<bool>("checked");
        QTest::addColumn<QString>("printed");
        QTest::newRow("check box checked") << 56 << -1 << true << "1";
        QTest::newRow("check box clear") << 56 << -1 << false << "0";
        QTest::newRow("TDR prints what its box shows: checked 1") << 141 << -1 << true << "1";
        QTest::newRow("TDR clear prints 0") << 141 << -1 << false << "0";
        QTest::newRow("standby backlight first entry") << 64 << 0 << false << "OFF";
        QTest::newRow("standby backlight second entry") << 64 << 1 << false << "ON";
        QTest::newRow("squelch level as a number") << 86 << 7 << false << "7";
        QTest::newRow("step 2") << 88 << 2 << false << "6.25";
        QTest::newRow("step 7") << 89 << 7 << false << "100";
    }
    void settingValues()
    {
        QFETCH(int, label);
        QFETCH(int, selection);
        QFETCH(bool, checked);
        QFETCH(QString, printed);
        PrintContent content;
        content.languageStrings.resize(150);
        content.languageStrings[45] = "OFF";
        content.languageStrings[125] = "ON";
        for (const SettingBox& box : settingsBoxes())
            for (const SettingLine& line : box.lines)
                for (const SettingPair& pair : line.pairs)
                    if (pair.label == label) {
                        content.options[pair.key] = {"text", selection, checked};
                        QCOMPARE(QString::fromStdString(settingValueText(pair, content)), printed);
                        return;
                    }
        QFAIL("no such label on the settings page");
    }

    void settingsPageHoldsLabelsValuesAndKeyLine()
    {
        const PrintMetrics m = metricsForLines(41);
        PrintContent content = numberedChannels();
        content.languageStrings[74] = "VFO";
        content.languageStrings[34] = "PTT:";
        content.languageStrings[121] = "TX";
        content.languageStrings[35] = "PF1:";
        content.options["bandA.frequency"] = {"145.12500", -1, false};
        content.options["bandB.frequency"] = {"435.00000", -1, false};
        content.sideKeyText = "Scan";
        const PrintPage page = layoutPage(5, m, content, measure);
        auto at = [&](const std::string& text) {
            const auto it = std::find_if(page.texts.begin(), page.texts.end(),
                                         [&](const PrintText& t) { return t.text == text; });
            return it == page.texts.end() ? nullptr : &*it;
        };
        const PrintText* a = at("145.12500");
        const PrintText* b = at("435.00000");
        QVERIFY(a && b);
        // Value right of its label, the B band in the column right of the A band.
        QCOMPARE(a->y, 11 * LineHeight / 2 + 40 / 25);
        QCOMPARE(b->y, a->y);
        QVERIFY(b->x > a->x + measure(PrintFont::Body, a->text));
        const PrintText* label = at("VFO= ");
        QVERIFY(label && label->x + measure(PrintFont::Body, label->text) <= a->x);
        const PrintText* keys = at("PTT:TX   PF1:Scan   MONI      ");
        QVERIFY(keys);
        QCOMPARE(keys->y, 26 * LineHeight);
        QCOMPARE(keys->x, m.printLeft + 50);
    }
};

QTEST_APPLESS_MAIN(PrintLayoutTest)
#include "tst_print_layout.moc"
