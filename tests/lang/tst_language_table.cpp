// The lang.csv parser: which field of which row becomes which language string.
#include "lang/LanguageTable.h"
#include "lang/ResourceLookup.h"

#include <QDir>
#include <QFile>
#include <QStringDecoder>
#include <QTemporaryDir>
#include <QtTest>

using tarn::LanguageTable;

class TestLanguageTable : public QObject {
    Q_OBJECT
private slots:
    void fieldsOfOneRow_data();
    void fieldsOfOneRow();
    void threeNamesColumnTwoTakesThirdField();
    void emptySecondFieldGivesEmptyStringInColumnOne();
    void shortRowGivesEmptyString();
    void stringsBeyondTheTableSizeAreIgnored();
    void namesBeyond32AreIgnored();
    void namesEndAtFirstEmptyField();
    void crlfLinesLoseTheirCarriageReturn();
    void finalLineWithoutLineFeedIsARow();
    void legacyGb18030FileIsDecoded();
    void strayByteCostsOneCharacterNotTheTable();
    void gb18030CodecIsAvailable();
    void utf8ByteOrderMarkIsNotPartOfFirstName();
    void lookupPrefersWorkingDirectoryThenBundledCopy();
    void helpOfAColumnFallsBackToEnglish_data();
    void helpOfAColumnFallsBackToEnglish();
};

void TestLanguageTable::fieldsOfOneRow_data()
{
    QTest::addColumn<QString>("line");
    QTest::addColumn<QStringList>("fields");
    const QString a48(48, QLatin1Char('a'));
    QTest::newRow("plain") << "a,b,c" << QStringList{"a", "b", "c"};
    QTest::newRow("empty middle") << "a,,c" << QStringList{"a", "", "c"};
    QTest::newRow("trailing comma") << "a," << QStringList{"a", ""};
    QTest::newRow("empty line") << "" << QStringList{""};
    QTest::newRow("quotes are text") << "\"a\",b" << QStringList{"\"a\"", "b"};
    QTest::newRow("exactly 48 then comma") << a48 + ",b" << QStringList{a48, "b"};
    QTest::newRow("exactly 48 at end") << a48 << QStringList{a48};
    // The 49th character is dropped, the 50th starts the next field.
    QTest::newRow("50 characters") << a48 + "XY,b" << QStringList{a48, "Y", "b"};
    QTest::newRow("49 characters") << a48 + "X,b" << QStringList{a48, "", "b"};
    const QString cjk48(48, QChar(0x4E2D));
    QTest::newRow("cut counts characters not bytes") << cjk48 + QString(QChar(0x6587)) + "Z"
                                                     << QStringList{cjk48, "Z"};
}

void TestLanguageTable::fieldsOfOneRow()
{
    QFETCH(QString, line);
    QFETCH(QStringList, fields);
    QCOMPARE(LanguageTable::splitFields(line), fields);
}

void TestLanguageTable::threeNamesColumnTwoTakesThirdField()
{
    const auto table = LanguageTable::parse(QStringLiteral("zh,tw,en\na,b,c\nd,e,f\n"), 2);
    QCOMPARE(table.names, (QStringList{"zh", "tw", "en"}));
    QCOMPARE(table.strings, (QStringList{"c", "f"}));
}

void TestLanguageTable::emptySecondFieldGivesEmptyStringInColumnOne()
{
    const QString text = QStringLiteral("zh,tw,en\na,,c\n");
    QCOMPARE(LanguageTable::parse(text, 1).strings, QStringList{QString()});
    QCOMPARE(LanguageTable::parse(text, 2).strings, QStringList{"c"});
}

void TestLanguageTable::shortRowGivesEmptyString()
{
    const auto table = LanguageTable::parse(QStringLiteral("zh,tw,en\na\n\nx,y,z\n"), 2);
    QCOMPARE(table.strings, (QStringList{"", "", "z"}));
}

void TestLanguageTable::stringsBeyondTheTableSizeAreIgnored()
{
    QString text = QStringLiteral("zh\n");
    for (int n = 0; n < LanguageTable::StringCount + 50; ++n)
        text += QStringLiteral("s%1\n").arg(n);
    const auto table = LanguageTable::parse(text, 0);
    QCOMPARE(table.strings.size(), LanguageTable::StringCount);
    QCOMPARE(table.strings.last(), QStringLiteral("s%1").arg(LanguageTable::StringCount - 1));
}

void TestLanguageTable::namesBeyond32AreIgnored()
{
    QStringList names;
    for (int j = 0; j < 40; ++j)
        names << QStringLiteral("L%1").arg(j);
    const auto table = LanguageTable::parse(names.join(',') + "\n", 0);
    QCOMPARE(table.names.size(), 32);
    QCOMPARE(table.names.last(), QStringLiteral("L31"));
}

void TestLanguageTable::namesEndAtFirstEmptyField()
{
    const auto table = LanguageTable::parse(QStringLiteral("zh,,en\n"), 0);
    QCOMPARE(table.names, QStringList{"zh"});
}

void TestLanguageTable::crlfLinesLoseTheirCarriageReturn()
{
    const auto table = LanguageTable::parse(QByteArray("zh,en\r\na,b\r\nc,d\r\n"), 1);
    QCOMPARE(table.names, (QStringList{"zh", "en"}));
    QCOMPARE(table.strings, (QStringList{"b", "d"}));
}

void TestLanguageTable::finalLineWithoutLineFeedIsARow()
{
    const auto table = LanguageTable::parse(QStringLiteral("zh\na\nb"), 0);
    QCOMPARE(table.strings, (QStringList{"a", "b"}));
}

void TestLanguageTable::legacyGb18030FileIsDecoded()
{
    QFile file(QStringLiteral(TARN_LANG_FIXTURES "/lang-gb18030.csv"));
    QVERIFY(file.open(QIODevice::ReadOnly));
    const auto table = LanguageTable::parse(file.readAll(), 0);
    QCOMPARE(table.names, (QStringList{QStringLiteral("中文"), QStringLiteral("English")}));
    QCOMPARE(table.strings, (QStringList{QStringLiteral("标题"), QStringLiteral("信道信息")}));
}

void TestLanguageTable::strayByteCostsOneCharacterNotTheTable()
{
    // A UTF-8 table with one byte that is no UTF-8 (a Latin-1 "é" typed into line 3).
    const QByteArray bytes = QStringLiteral("中文,English\n标题,Title\n信道,Caf").toUtf8() + "\xE9"
        + QStringLiteral(",信道信息\n新建,New\n").toUtf8();
    const auto chinese = LanguageTable::parse(bytes, 0);
    QCOMPARE(chinese.names, (QStringList{QStringLiteral("中文"), QStringLiteral("English")}));
    QCOMPARE(chinese.strings, (QStringList{QStringLiteral("标题"), QStringLiteral("信道"), QStringLiteral("新建")}));
    // The broken line keeps everything but the broken byte.
    QCOMPARE(LanguageTable::parse(bytes, 1).strings.at(1), QStringLiteral("Caf\uFFFD"));
}

void TestLanguageTable::gb18030CodecIsAvailable()
{
    QVERIFY(QStringDecoder("GB18030").isValid());
}

void TestLanguageTable::utf8ByteOrderMarkIsNotPartOfFirstName()
{
    const auto table = LanguageTable::parse(QByteArray("\xEF\xBB\xBFzh,en\n"), 0);
    QCOMPARE(table.names.first(), QStringLiteral("zh"));
}

void TestLanguageTable::lookupPrefersWorkingDirectoryThenBundledCopy()
{
    QTemporaryDir dir;
    const QString old = QDir::currentPath();
    QVERIFY(QDir::setCurrent(dir.path()));
    // A picture: the build tree keeps no copy of it beside the program (it does of lang.csv).
    QCOMPARE(tarn::findResourceFile(QStringLiteral("phone.JPG")), QStringLiteral(":/phone.JPG"));
    QFile local(dir.filePath(QStringLiteral("phone.JPG")));
    QVERIFY(local.open(QIODevice::WriteOnly));
    local.close();
    QCOMPARE(tarn::findResourceFile(QStringLiteral("phone.JPG")), QFileInfo(local).absoluteFilePath());
    QVERIFY(tarn::findResourceFile(QStringLiteral("no-such-file.chm")).isEmpty());
    QDir::setCurrent(old);
}

void TestLanguageTable::helpOfAColumnFallsBackToEnglish_data()
{
    QTest::addColumn<QStringList>("present");  // help folders that exist, "dir/column"
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("expected");  // "dir/column", or empty for no help
    QTest::newRow("own help") << QStringList{"a/0", "a/2"} << 0 << "a/0";
    QTest::newRow("no own help: English") << QStringList{"a/0", "a/2"} << 1 << "a/2";
    QTest::newRow("own help in a later folder beats English") << QStringList{"a/2", "b/0"} << 0 << "b/0";
    QTest::newRow("English from the first folder") << QStringList{"a/2", "b/2"} << 5 << "a/2";
    QTest::newRow("no help at all") << QStringList{} << 2 << "";
    QTest::newRow("only another language") << QStringList{"a/0"} << 1 << "";
}

void TestLanguageTable::helpOfAColumnFallsBackToEnglish()
{
    QFETCH(QStringList, present);
    QFETCH(int, column);
    QFETCH(QString, expected);
    QTemporaryDir root;
    for (const QString& help : present) {
        const QString dir = root.filePath(help.section('/', 0, 0) + "/help/" + help.section('/', 1));
        QVERIFY(QDir().mkpath(dir));
        QFile page(dir + "/index.html");
        QVERIFY(page.open(QIODevice::WriteOnly));
    }
    const QStringList dirs{root.filePath("a"), root.filePath("b")};
    const QString found = tarn::findHelpPage(column, dirs);
    if (expected.isEmpty())
        QVERIFY2(found.isEmpty(), qPrintable(found));
    else
        QCOMPARE(found, QFileInfo(root.filePath(expected.section('/', 0, 0) + "/help/"
                                                + expected.section('/', 1) + "/index.html"))
                            .absoluteFilePath());
}

QTEST_GUILESS_MAIN(TestLanguageTable)
#include "tst_language_table.moc"
