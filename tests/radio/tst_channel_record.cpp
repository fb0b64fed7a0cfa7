// The channel row rules: what a row shows for a channel's bytes and what it stores back.
#include "radio/Bytes.h"
#include "radio/ChannelRecord.h"
#include "radio/Codecs.h"

#include <QtTest>

using namespace tarn;
namespace ch = layout::channel;

namespace {

ChannelWords words()
{
    return {"High", "Low", "Four", "Five", "Narrow", "Wide", "OFF", "ON"};
}

struct Channel {
    std::uint32_t rx = 0x14550000;
    std::uint32_t tx = 0x14550000;
    std::uint16_t rxTone = NoTone;
    std::uint16_t txTone = NoTone;
    std::uint16_t a = 0;
    std::uint16_t b = 0;
    std::vector<std::uint8_t> name;
};

void put(RadioImage& image, int i, const Channel& c)
{
    std::uint8_t* p = image.channelSlot(i).data();
    writeLe32(p + ch::RxFrequency, c.rx);
    writeLe32(p + ch::TxFrequency, c.tx);
    writeLe16(p + ch::RxTone, c.rxTone);
    writeLe16(p + ch::TxTone, c.txTone);
    writeLe16(p + ch::OptionsA, c.a);
    writeLe16(p + ch::OptionsB, c.b);
    auto ext = image.extensionSlot(i);
    for (int k = 0; k < 6; ++k)
        ext[k] = k < static_cast<int>(c.name.size()) ? c.name[k] : 0xFF;
}

QString rowText(const ChannelRow& row)
{
    QStringList cells;
    for (const auto& cell : row)
        cells << QString::fromStdString(cell);
    return cells.join('|');
}

}  // namespace

class TestChannelRecord : public QObject {
    Q_OBJECT
private slots:
    void shownRow_data();
    void shownRow();
    void bandLimitedOptionClearedSilentlyOnShow();
    void choiceBitFromText_data();
    void choiceBitFromText();
    void storedBytes_data();
    void storedBytes();
    void emptyRowStoresErasedChannelAndKeepsOtherBits();
    void storeClearsBandLimitedOutsideTransmitWindows_data();
    void storeClearsBandLimitedOutsideTransmitWindows();
    void showThenStoreRoundTripsToTheByte();
    void frequencyEdit_data();
    void frequencyEdit();
    void frequencyTyping_data();
    void frequencyTyping();
    void transmitTyping_data();
    void transmitTyping();
    void nameFilter_data();
    void nameFilter();
};

void TestChannelRecord::shownRow_data()
{
    QTest::addColumn<int>("kind");
    QTest::addColumn<QString>("expected");
    QTest::newRow("new image shows only the number") << 0 << "6||||||||||";
    QTest::newRow("bad rx, good tx shows tx and non-off tones") << 1 << "6||146.00000|67.0|||||||";
    QTest::newRow("programmed channel") << 2 << "6|145.50000|145.50000|DN023|OFF|High|Five|Wide|Narrow|ON|ABC1";
    QTest::newRow("programmed channel, bits clear, name stops at a bad byte") << 3 << "6|430.02500|435.00000|OFF|DI754|Low|Four|Narrow|Narrow|OFF|Z";
}

void TestChannelRecord::shownRow()
{
    QFETCH(int, kind);
    RadioImage image;
    if (kind == 1)
        put(image, 5, {0xFFFFFFFF, 0x14600000, 670, NoTone, 0xFFFF, 0xFFFF, {}});
    if (kind == 2)
        put(image, 5, {0x14550000, 0x14550000, 0x2813, NoTone, 0x7008, 0, {10, 11, 12, 1}});
    if (kind == 3)
        put(image, 5, {0x43002500, 0x43500000, NoTone, 0xA9EC, 0, 0, {35, 36, 1}});
    QTEST(rowText(ShowChannelRow(image, 5, words())), "expected");
}

void TestChannelRecord::bandLimitedOptionClearedSilentlyOnShow()
{
    RadioImage image;
    put(image, 0, {0x14600000, 0x14600000, NoTone, NoTone, 0, 0x1000, {}});
    put(image, 1, {0x14600000, 0x15000000, NoTone, NoTone, 0, 0x1000 | 0x0004, {}});
    put(image, 2, {0x14600000, 0xFFFFFFFF, NoTone, NoTone, 0, 0x1000, {}});
    QCOMPARE(ShowChannelRow(image, 0, words())[ColBandLimited], "Wide");
    QCOMPARE(readLe16(image.channelSlot(0).data() + ch::OptionsB), 0x1000);
    QCOMPARE(ShowChannelRow(image, 1, words())[ColBandLimited], "Narrow");
    QCOMPARE(readLe16(image.channelSlot(1).data() + ch::OptionsB), 0x0004);
    QCOMPARE(ShowChannelRow(image, 2, words())[ColBandLimited], "Narrow");
    QCOMPARE(readLe16(image.channelSlot(2).data() + ch::OptionsB), 0x0000);
}

void TestChannelRecord::choiceBitFromText_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("bit");
    QTest::newRow("string 3") << "Low" << false;
    QTest::newRow("string 4") << "Four" << false;
    QTest::newRow("string 10") << "Narrow" << false;
    QTest::newRow("string 12") << "OFF" << false;
    QTest::newRow("string 2") << "High" << true;
    QTest::newRow("string 5") << "Five" << true;
    QTest::newRow("string 11") << "Wide" << true;
    QTest::newRow("string 13") << "ON" << true;
    QTest::newRow("anything else") << "x" << true;
}

void TestChannelRecord::choiceBitFromText()
{
    QFETCH(QString, text);
    QTEST(ChoiceBitFromText(text.toStdString(), words()), "bit");
}

void TestChannelRecord::storedBytes_data()
{
    QTest::addColumn<QStringList>("cells");  // columns 1 to 10
    QTest::addColumn<QByteArray>("slot");    // 16 bytes of the channel region
    QTest::addColumn<QByteArray>("name");    // 6 name bytes

    QTest::newRow("lower-case name stored as capitals")
        << QStringList{"145.50000", "145.50000", "OFF", "OFF", "High", "Five", "Narrow", "Narrow", "OFF", "abc1"}
        << QByteArray::fromHex("0000551400005514ffffffff0060" "0000")
        << QByteArray::fromHex("0a0b0c01ffff");
    QTest::newRow("tones, choices in any column, band-limited inside a window")
        << QStringList{"446.00625", "146.00000", "DN023", "254.1", "Low", "Four", "Wide", "Wide", "ON", "Z9"}
        << QByteArray::fromHex("2506604400006014" "1328ed09" "0810" "0010")
        << QByteArray::fromHex("2309ffffffff");
    QTest::newRow("name ends at the first other character")
        << QStringList{"145.50000", "", "OFF", "OFF", "High", "Five", "Narrow", "Narrow", "OFF", "AB-CD"}
        << QByteArray::fromHex("00005514ffffffffffffffff0060" "0000")
        << QByteArray::fromHex("0a0bffffffff");
    QTest::newRow("a seven-character name keeps six")
        << QStringList{"145.50000", "", "OFF", "OFF", "High", "Five", "Narrow", "Narrow", "OFF", "ABCDEFG"}
        << QByteArray::fromHex("00005514ffffffffffffffff0060" "0000")
        << QByteArray::fromHex("0a0b0c0d0e0f");
}

void TestChannelRecord::storedBytes()
{
    QFETCH(QStringList, cells);
    QFETCH(QByteArray, slot);
    QFETCH(QByteArray, name);
    RadioImage image;
    for (auto& byte : image.channelSlot(0))
        byte = 0;
    ChannelRow row;
    row[ColNumber] = "1";
    for (int c = 1; c <= 10; ++c)
        row[c] = cells[c - 1].toStdString();
    QVERIFY(!StoreChannelRow(image, 0, row, words()));
    const auto s = image.channelSlot(0);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(s.data()), 16).toHex(), slot.toHex());
    const auto e = image.extensionSlot(0);
    QCOMPARE(QByteArray(reinterpret_cast<const char*>(e.data()), 6).toHex(), name.toHex());
}

void TestChannelRecord::emptyRowStoresErasedChannelAndKeepsOtherBits()
{
    RadioImage image;
    put(image, 3, {0x14550000, 0x14550000, 670, 670, 0x0001, 0x0002, {1, 2}});
    image.extensionSlot(3)[10] = 0x42;
    ChannelRow row;  // every cell empty, but column 8 still shows a choice
    row[ColBandLimited] = "Wide";
    QVERIFY(!StoreChannelRow(image, 3, row, words()));
    const std::uint8_t* p = image.channelSlot(3).data();
    QCOMPARE(readLe32(p + ch::RxFrequency), NoFrequency);
    QCOMPARE(readLe32(p + ch::TxFrequency), NoFrequency);
    QCOMPARE(readLe16(p + ch::RxTone), NoTone);
    QCOMPARE(readLe16(p + ch::TxTone), NoTone);
    QCOMPARE(readLe16(p + ch::OptionsA), 0x7009);
    QCOMPARE(readLe16(p + ch::OptionsB), 0x1002);
    for (int k = 0; k < 6; ++k)
        QCOMPARE(image.extensionSlot(3)[k], 0xFF);
    QCOMPARE(image.extensionSlot(3)[10], 0x42);
}

void TestChannelRecord::storeClearsBandLimitedOutsideTransmitWindows_data()
{
    QTest::addColumn<QString>("tx");
    QTest::addColumn<bool>("adjusted");
    QTest::newRow("146.00000 keeps it") << "146.00000" << false;
    QTest::newRow("147.99750 keeps it") << "147.99750" << false;
    QTest::newRow("150.00000 loses it") << "150.00000" << true;
    QTest::newRow("no transmit frequency loses it") << "" << true;
    QTest::newRow("470.00000 keeps it") << "470.00000" << false;
}

void TestChannelRecord::storeClearsBandLimitedOutsideTransmitWindows()
{
    QFETCH(QString, tx);
    QFETCH(bool, adjusted);
    RadioImage image;
    ChannelRow row{"1", "146.00000", tx.toStdString(), "OFF", "OFF", "High", "Five", "Narrow", "Wide", "OFF", ""};
    QCOMPARE(StoreChannelRow(image, 0, row, words()), adjusted);
    QCOMPARE(row[ColBandLimited], adjusted ? std::string("Narrow") : std::string("Wide"));
    QCOMPARE(bool(readLe16(image.channelSlot(0).data() + ch::OptionsB) & 0x1000), !adjusted);
}

void TestChannelRecord::showThenStoreRoundTripsToTheByte()
{
    RadioImage image;
    put(image, 0, {0x43602500, 0x43602500, 0x2813, 0xA9EC, 0x7008, 0x1000, {10, 11, 12, 1, 2, 3}});
    put(image, 1, {0x14550000, 0x15000000, 2541, NoTone, 0x0F07, 0x0FFF, {35}});
    put(image, 77, {0x14600625, NoFrequency, NoTone, 670, 0x8000, 0x8000, {}});
    image.extensionSlot(1)[9] = 0x5A;
    image.channelSlot(2)[14] = 0x33;  // bits of an empty channel that are not shown
    const RadioImage before = image;
    for (int i = 0; i < 128; ++i) {
        ChannelRow row = ShowChannelRow(image, i, words());
        QVERIFY(!StoreChannelRow(image, i, row, words()));
    }
    RadioImage expected = before;
    // An empty channel stores its five choice bits as 1.
    for (int i = 0; i < 128; ++i) {
        if (i == 0 || i == 1 || i == 77)
            continue;
        std::uint8_t* p = expected.channelSlot(i).data();
        writeLe16(p + ch::OptionsA, readLe16(p + ch::OptionsA) | 0x7008);
        writeLe16(p + ch::OptionsB, readLe16(p + ch::OptionsB) | 0x1000);
    }
    QVERIFY(image == expected);
}

void TestChannelRecord::frequencyEdit_data()
{
    QTest::addColumn<int>("mode");
    QTest::addColumn<QString>("rx");
    QTest::addColumn<QString>("tx");
    QTest::addColumn<QString>("expected");
    QTest::newRow("new channel fills the defaults") << 2 << "145.5" << "" << "|145.50000|145.50000|OFF|OFF|High|Five|Narrow|Narrow|OFF|";
    QTest::newRow("new channel with empty text") << 2 << "" << "" << "|||OFF|OFF|High|Five|Narrow|Narrow|OFF|";
    QTest::newRow("rx of a programmed channel is normalised") << 0 << "145.0123" << "147.00000" << "|145.01000|147.00000|67.0|DN023|Low|Four|Wide|Wide|ON|AB";
    QTest::newRow("emptied rx deletes the channel") << 0 << "" << "147.00000" << "||||||||||";
    QTest::newRow("tx is normalised") << 1 << "146.00000" << "99" << "|146.00000|136.02500|67.0|DN023|Low|Four|Wide|Wide|ON|AB";
    QTest::newRow("emptied tx turns the tx tone off") << 1 << "146.00000" << "" << "|146.00000||67.0|OFF|Low|Four|Wide|Wide|ON|AB";
    QTest::newRow("leading zeros do not shift the point") << 0 << "0145.5" << "147.00000" << "|145.50000|147.00000|67.0|DN023|Low|Four|Wide|Wide|ON|AB";
    QTest::newRow("a lone zero is out of range") << 0 << "0" << "147.00000" << "|136.02500|147.00000|67.0|DN023|Low|Four|Wide|Wide|ON|AB";
    QTest::newRow("tx typed as +offset") << 1 << "145.50000" << "+0.6" << "|145.50000|146.10000|67.0|DN023|Low|Four|Wide|Wide|ON|AB";
    QTest::newRow("tx typed as -offset") << 1 << "438.65000" << "-5" << "|438.65000|433.65000|67.0|DN023|Low|Four|Wide|Wide|ON|AB";
    QTest::newRow("tx offset lands off the grid and is normalised") << 1 << "431.05000" << "+7.6013" << "|431.05000|438.65000|67.0|DN023|Low|Four|Wide|Wide|ON|AB";
    QTest::newRow("tx offset below 100 MHz is out of range") << 1 << "100.00000" << "-5" << "|100.00000|136.02500|67.0|DN023|Low|Four|Wide|Wide|ON|AB";
    QTest::newRow("a bare sign is no offset") << 1 << "145.50000" << "-" << "|145.50000|145.50000|67.0|DN023|Low|Four|Wide|Wide|ON|AB";
}

void TestChannelRecord::frequencyEdit()
{
    QFETCH(int, mode);
    QFETCH(QString, rx);
    QFETCH(QString, tx);
    ChannelRow row{"", rx.toStdString(), tx.toStdString(), "67.0", "DN023", "Low", "Four", "Wide", "Wide", "ON", "AB"};
    ApplyFrequencyEdit(row, static_cast<FrequencyEditMode>(mode), words());
    QTEST(rowText(row), "expected");
}

void TestChannelRecord::frequencyTyping_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("digits and a point") << "145.5" << true;
    QTest::newRow("empty") << "" << true;
    QTest::newRow("nine characters") << "145.50000" << true;
    QTest::newRow("ten characters") << "145.500000" << false;
    QTest::newRow("second point") << "145.1.5" << false;
    QTest::newRow("letter") << "14x" << false;
    QTest::newRow("minus") << "-145" << false;
    QTest::newRow("blank") << "145 5" << false;
}

void TestChannelRecord::frequencyTyping()
{
    QFETCH(QString, text);
    QTEST(IsAcceptableFrequencyText(text.toStdString()), "accepted");
}

void TestChannelRecord::transmitTyping_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<bool>("accepted");
    QTest::newRow("a frequency") << "145.5" << true;
    QTest::newRow("plus offset") << "+0.6" << true;
    QTest::newRow("minus offset") << "-7.6" << true;
    QTest::newRow("a bare sign while typing") << "-" << true;
    QTest::newRow("nine characters with the sign") << "+12.34567" << true;
    QTest::newRow("ten characters with the sign") << "+12.345678" << false;
    QTest::newRow("sign after a digit") << "5+" << false;
    QTest::newRow("two signs") << "+-5" << false;
}

void TestChannelRecord::transmitTyping()
{
    QFETCH(QString, text);
    QTEST(IsAcceptableTransmitText(text.toStdString()), "accepted");
}

void TestChannelRecord::nameFilter_data()
{
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("clean");
    QTest::newRow("letters and digits stay") << "ab12X3" << "ab12X3";
    QTest::newRow("a dash goes") << "ab-" << "ab";
    QTest::newRow("seventh character cut") << "ab12x3y" << "ab12x3";
    QTest::newRow("several bad characters") << "a b!c" << "abc";
    QTest::newRow("non-ASCII goes") << QString::fromUtf8("aé1") << "a1";
}

void TestChannelRecord::nameFilter()
{
    QFETCH(QString, text);
    QTEST(QString::fromStdString(FilterNameText(text.toStdString())), "clean");
}

QTEST_APPLESS_MAIN(TestChannelRecord)
#include "tst_channel_record.moc"
