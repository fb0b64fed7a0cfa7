// The settings as data: the byte rules of the general fields and the side key, the text
// walks, the band values with their empty-band, window, offset and display-mode rules, and
// a load followed by a store touching nothing but what the rules normalise.
#include "radio/Bytes.h"
#include "radio/Codecs.h"
#include "radio/OptionsSettings.h"

#include <QtTest>

#include <random>
#include <set>

using namespace tarn;
using namespace tarn::settings;

namespace {

const std::string Off = "OFF";

std::uint8_t* fieldPointer(RadioImage& image, const Field& field)
{
    switch (field.block) {
    case Block::Functions: return image.functionData().data() + field.byte;
    case Block::Offsets: return image.offsetData().data() + field.byte;
    case Block::StartupText: return image.startupTextData().data() + field.byte;
    }
    return nullptr;
}

QByteArray bytesAt(const std::uint8_t* p, int n)
{
    return QByteArray(reinterpret_cast<const char*>(p), n);
}

// An image with one channel in use, so the display modes are free.
RadioImage imageWithChannel()
{
    RadioImage image;
    writeLe32(image.channelSlot(0).data(), 0x14550000);
    return image;
}

void setBandFrequency(RadioImage& image, Band band, std::uint32_t word)
{
    writeLe32(image.bandRecord(band).data() + layout::vfo::RxFrequency, word);
}

std::uint32_t bandWord(const RadioImage& image, Band band, int offset)
{
    return readLe32(image.bandRecord(band).data() + offset);
}

std::uint16_t bandHalf(const RadioImage& image, Band band, int offset)
{
    return readLe16(image.bandRecord(band).data() + offset);
}

}  // namespace

class TestSettings : public QObject {
    Q_OBJECT

private slots:
    void everyKeyIsUniqueAndEveryListHasEntries()
    {
        std::set<std::string_view> keys;
        for (const Field& field : Fields()) {
            QVERIFY2(keys.insert(field.key).second, field.key.data());
            if (field.rule == Rule::List)
                QVERIFY(EntryCount(field) > 0);
        }
    }

    // key, stored byte, index chosen before the store (-2: keep the loaded one), loaded
    // index, stored byte
    void byteRules_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<int>("stored");
        QTest::addColumn<int>("chosen");
        QTest::addColumn<int>("loaded");
        QTest::addColumn<int>("written");
        QTest::newRow("time-out 40 is entry 0") << "timeOut" << 40 << -2 << 0 << 0;
        QTest::newRow("time-out 39 is 600") << "timeOut" << 39 << -2 << 39 << 39;
        QTest::newRow("priority 200 is entry 71") << "priority" << 200 << -2 << 71 << 71;
        QTest::newRow("end tone 0xFF modulo 4") << "endTone" << 0xFF << -2 << 3 << 3;
        QTest::newRow("side key 7 is entry 2") << "sideKey" << 7 << -2 << 2 << 2;
        QTest::newRow("side key SOS-CH stores 3") << "sideKey" << 0 << 3 << 0 << 3;
        QTest::newRow("check on odd") << "powerSave" << 3 << -2 << 1 << 1;
        QTest::newRow("check off on even") << "beep" << 0xFE << -2 << 0 << 0;
        QTest::newRow("TDR byte 0 is checked") << "tdr" << 0 << -2 << 1 << 0;
        QTest::newRow("TDR unchecked stores 1") << "tdr" << 0 << 0 << 1 << 1;
        QTest::newRow("TDR byte 5 is unchecked") << "tdr" << 5 << -2 << 0 << 1;
        QTest::newRow("menu 0xFE unchecked, checking keeps bits 1-7") << "menu" << 0xFE << 1 << 0 << 0xFF;
        QTest::newRow("menu 0x81 unchecking") << "menu" << 0x81 << 0 << 1 << 0x80;
        QTest::newRow("hidden ring time 12 modulo 11") << "ringTime" << 12 << -2 << 1 << 1;
        QTest::newRow("hidden call ring") << "callRing" << 0x11 << -2 << 1 << 1;
    }
    void byteRules()
    {
        QFETCH(QString, key);
        QFETCH(int, stored);
        QFETCH(int, chosen);
        QFETCH(int, loaded);
        QFETCH(int, written);
        const Field* field = FindField(key.toStdString());
        QVERIFY(field);
        RadioImage image;
        *fieldPointer(image, *field) = static_cast<std::uint8_t>(stored);
        FieldValue value = LoadField(image, *field);
        QCOMPARE(value.index, loaded);
        if (chosen != -2)
            value.index = chosen;
        QVERIFY(!StoreField(image, *field, value));
        QCOMPARE(int(*fieldPointer(image, *field)), written);
    }

    // key, stored six bytes, loaded text, text stored, bytes written, padded, text after
    void textWalks_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QByteArray>("stored");
        QTest::addColumn<QByteArray>("loaded");
        QTest::addColumn<QByteArray>("typed");
        QTest::addColumn<QByteArray>("written");
        QTest::addColumn<bool>("padded");
        QTest::addColumn<QByteArray>("shown");
        QTest::newRow("password with a fourth byte above 9")
            << "modePassword" << QByteArray::fromHex("0102030A0405") << QByteArray("123") << QByteArray("123")
            << QByteArray::fromHex("010203000000") << true << QByteArray("123000");
        QTest::newRow("empty password") << "resetPassword" << QByteArray::fromHex("FF0000000000") << QByteArray()
            << QByteArray() << QByteArray::fromHex("000000000000") << true << QByteArray("000000");
        QTest::newRow("full password") << "resetPassword" << QByteArray::fromHex("090807060504")
            << QByteArray("987654") << QByteArray("987654") << QByteArray::fromHex("090807060504") << false
            << QByteArray("987654");
        QTest::newRow("local ID *1#A") << "localId" << QByteArray::fromHex("0B010C0DFFFF") << QByteArray("*1#A")
            << QByteArray("*1#a") << QByteArray::fromHex("0B010C0DFFFF") << false << QByteArray("*1#a");
        QTest::newRow("local ID colon has no code") << "localId" << QByteArray::fromHex("0A0111FFFFFF")
            << QByteArray(":1") << QByteArray(":1") << QByteArray::fromHex("FF01FFFFFFFF") << false
            << QByteArray(":1");
        QTest::newRow("empty local ID") << "localId" << QByteArray::fromHex("FFFFFFFFFFFF") << QByteArray()
            << QByteArray() << QByteArray::fromHex("FFFFFFFFFFFF") << false << QByteArray();
        QTest::newRow("start-up text AB") << "startupText" << QByteArray::fromHex("4142FF434445")
            << QByteArray("AB") << QByteArray("AB") << QByteArray::fromHex("4142FFFFFFFF") << false
            << QByteArray("AB");
        QTest::newRow("start-up text ends at zero") << "startupText" << QByteArray::fromHex("48490048FFFF")
            << QByteArray("HI") << QByteArray("HI") << QByteArray::fromHex("4849FFFFFFFF") << false
            << QByteArray("HI");
        QTest::newRow("hidden text of a new image") << "hiddenText" << QByteArray("WELCOM") << QByteArray("WELCOM")
            << QByteArray("WELCOM") << QByteArray("WELCOM") << false << QByteArray("WELCOM");
        QTest::newRow("hidden text keeps 0xFF bytes") << "hiddenText" << QByteArray::fromHex("41FF00424344")
            << QByteArray::fromHex("41FF") << QByteArray::fromHex("41FF") << QByteArray::fromHex("41FFFFFFFFFF")
            << false << QByteArray::fromHex("41FF");
    }
    void textWalks()
    {
        QFETCH(QString, key);
        QFETCH(QByteArray, stored);
        QFETCH(QByteArray, loaded);
        QFETCH(QByteArray, typed);
        QFETCH(QByteArray, written);
        QFETCH(bool, padded);
        QFETCH(QByteArray, shown);
        const Field* field = FindField(key.toStdString());
        QVERIFY(field);
        RadioImage image;
        std::uint8_t* p = fieldPointer(image, *field);
        std::copy(stored.begin(), stored.end(), p);
        const std::uint8_t after = p[TextLength];
        FieldValue value = LoadField(image, *field);
        QCOMPARE(QByteArray::fromStdString(value.text), loaded);
        value.text = typed.toStdString();
        QCOMPARE(StoreField(image, *field, value), padded);
        QCOMPARE(bytesAt(p, TextLength), written);
        QCOMPARE(p[TextLength], after);
        QCOMPARE(QByteArray::fromStdString(value.text), shown);
    }

    void typingRules_data()
    {
        QTest::addColumn<QString>("key");
        QTest::addColumn<QByteArray>("before");
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<bool>("accepted");
        QTest::newRow("password digits") << "modePassword" << QByteArray("12") << QByteArray("123") << true;
        QTest::newRow("password letter") << "modePassword" << QByteArray("12") << QByteArray("12a") << false;
        QTest::newRow("password seventh digit") << "modePassword" << QByteArray("123456") << QByteArray("1234567") << false;
        QTest::newRow("local ID DTMF") << "localId" << QByteArray() << QByteArray("*#abCD") << true;
        QTest::newRow("local ID colon") << "localId" << QByteArray("1") << QByteArray("1:") << false;
        QTest::newRow("start-up text ASCII") << "startupText" << QByteArray() << QByteArray("Hi 1!") << true;
        QTest::newRow("start-up text non-ASCII") << "startupText" << QByteArray("A") << QByteArray("A\xC3\xA9") << false;
        QTest::newRow("start-up text loaded byte stays") << "startupText" << QByteArray("\xE9") << QByteArray("\xE9X") << true;
        QTest::newRow("start-up text seventh") << "startupText" << QByteArray("ABCDEF") << QByteArray("ABCDEFG") << false;
    }
    void typingRules()
    {
        QFETCH(QString, key);
        QFETCH(QByteArray, before);
        QFETCH(QByteArray, text);
        QFETCH(bool, accepted);
        const Rule rule = FindField(key.toStdString())->rule;
        const std::string t = text.toStdString();
        const bool result = rule == Rule::Digits ? IsAcceptableDigitText(t)
            : rule == Rule::DtmfId               ? IsAcceptableDtmfText(t)
                                                 : IsAcceptableStartupText(t, before.toStdString());
        QCOMPARE(result, accepted);
    }

    void bandLoad()
    {
        RadioImage image = imageWithChannel();
        setBandFrequency(image, Band::A, 0x14512500);
        writeLe16(image.bandRecord(Band::A).data() + layout::vfo::Flags, 0x2004);  // high, signalling 2
        writeLe16(image.bandRecord(Band::A).data() + layout::vfo::RxTone, 0x2813);
        writeLe16(image.bandRecord(Band::A).data() + layout::vfo::TxTone, 0x0385);  // 90.1: no entry
        image.functionData()[1] = 0x0C;  // step 12 modulo 8 = 12.5 kHz
        const BandSettings a = LoadBand(image, Band::A, Off);
        QCOMPARE(QString::fromStdString(a.frequency), QStringLiteral("145.12500"));
        QCOMPARE(a.step, 4);
        QCOMPARE(a.power, 1);
        QCOMPARE(a.bandwidth, 0);
        QCOMPARE(a.signalling, 2);
        QCOMPARE(QString::fromStdString(a.rxTone), QStringLiteral("DN023"));
        QCOMPARE(QString::fromStdString(a.txTone), QString());
        // The new image's B band, 136.025 MHz outside the windows: option shown off.
        const BandSettings b = LoadBand(image, Band::B, Off);
        QCOMPARE(b.bandLimited, 0);
        QCOMPARE(QString::fromStdString(b.txTone), QString::fromStdString(Off));
    }

    void bandStoreSnapsAndCopiesTheFrequency()
    {
        RadioImage image = imageWithChannel();
        BandSettings a = LoadBand(image, Band::A, Off);
        a.frequency = "145.123";
        a.step = 4;
        StoreBand(image, Band::A, a, Off);
        QCOMPARE(bandWord(image, Band::A, layout::vfo::RxFrequency), 0x14511250u);
        QCOMPARE(bandWord(image, Band::A, layout::vfo::TxFrequency), 0x14511250u);
        QCOMPARE(QString::fromStdString(a.frequency), QStringLiteral("145.123"));
    }

    void emptyBandStore()
    {
        RadioImage image = imageWithChannel();
        std::uint8_t* record = image.bandRecord(Band::B).data();
        writeLe16(record + layout::vfo::Flags, 0x0000);
        writeLe16(record + layout::vfo::Flags2, 0xFFFF);
        BandSettings b = LoadBand(image, Band::B, Off);
        b.frequency.clear();
        b.rxTone = "67.0";
        QVERIFY(!StoreBand(image, Band::B, b, Off));
        QCOMPARE(bandWord(image, Band::B, layout::vfo::RxFrequency), NoFrequency);
        QCOMPARE(bandWord(image, Band::B, layout::vfo::TxFrequency), 0x13602500u);  // as stored
        QCOMPARE(bandHalf(image, Band::B, layout::vfo::RxTone), NoTone);
        QCOMPARE(bandHalf(image, Band::B, layout::vfo::TxTone), NoTone);
        QCOMPARE(bandHalf(image, Band::B, layout::vfo::Flags), std::uint16_t(0x3006));
        QCOMPARE(bandHalf(image, Band::B, layout::vfo::Flags2), std::uint16_t(0xEFFF));
    }

    // frequency, chosen option, stored bit, cleared
    void bandLimitedOption_data()
    {
        QTest::addColumn<QString>("frequency");
        QTest::addColumn<int>("option");
        QTest::addColumn<bool>("bit");
        QTest::addColumn<bool>("cleared");
        QTest::newRow("146 MHz keeps it") << "146.00000" << 1 << true << false;
        QTest::newRow("150 MHz clears it") << "150.00000" << 1 << false << true;
        QTest::newRow("150 MHz, off") << "150.00000" << 0 << false << false;
        QTest::newRow("no selection outside counts as set") << "150.00000" << -1 << false << true;
        QTest::newRow("no selection inside stores 1") << "146.00000" << -1 << true << false;
    }
    void bandLimitedOption()
    {
        QFETCH(QString, frequency);
        QFETCH(int, option);
        QFETCH(bool, bit);
        QFETCH(bool, cleared);
        RadioImage image = imageWithChannel();
        BandSettings a = LoadBand(image, Band::A, Off);
        a.frequency = frequency.toStdString();
        a.bandLimited = option;
        QCOMPARE(StoreBand(image, Band::A, a, Off), cleared);
        QCOMPARE(bool(bandHalf(image, Band::A, layout::vfo::Flags2) & 0x1000), bit);
        if (cleared)
            QCOMPARE(a.bandLimited, 0);
    }

    void noSelectionStoresOnes()
    {
        RadioImage image = imageWithChannel();
        setBandFrequency(image, Band::A, NoFrequency);
        writeLe16(image.bandRecord(Band::A).data() + layout::vfo::Flags, 0);
        BandSettings a = LoadBand(image, Band::A, Off);
        QCOMPARE(a.power, -1);
        a.frequency = "145.5";
        StoreBand(image, Band::A, a, Off);
        QCOMPARE(bandHalf(image, Band::A, layout::vfo::Flags) & 0x3006, 0x3006);
    }

    void offsetFollowsTheStepFromTheImage()
    {
        RadioImage image = imageWithChannel();
        const std::uint8_t fiveMHz[6] = {0, 5, 0, 0, 0, 0};
        std::copy(fiveMHz, fiveMHz + 6, image.offsetData().data() + 1);
        image.functionData()[1] = 4;
        BandSettings a = LoadBand(image, Band::A, Off);
        QCOMPARE(a.offset, 400);
        a.offset = 17;  // chosen since the load, not carried over
        ChangeStep(image, Band::A, a, 5);
        QCOMPARE(a.offset, 200);
        QCOMPARE(QString::fromStdString(BandFieldText(a, BandFieldId::Offset, {})), QStringLiteral("05.000000"));

        const std::uint8_t erased[6] = {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
        std::copy(erased, erased + 6, image.offsetData().data() + 1);
        a = LoadBand(image, Band::A, Off);
        QCOMPARE(a.offset, -1);
        StoreBand(image, Band::A, a, Off);
        QCOMPARE(bytesAt(image.offsetData().data() + 1, 6), QByteArray(6, '\0'));
        const std::uint8_t seventy[6] = {7, 0, 0, 0, 0, 0};
        std::copy(seventy, seventy + 6, image.offsetData().data() + 1);
        QCOMPARE(LoadBand(image, Band::A, Off).offset, 0);
    }

    void toneWithoutSelection_data()
    {
        QTest::addColumn<uint>("stored");
        QTest::addColumn<uint>("written");
        QTest::newRow("90.1 Hz kept") << 0x0385u << 0x0385u;
        QTest::newRow("DCS number kept") << 0x29FFu << 0x29FFu;
        QTest::newRow("no code form") << 0x3000u << 0xFFFFu;
    }
    void toneWithoutSelection()
    {
        QFETCH(uint, stored);
        QFETCH(uint, written);
        RadioImage image = imageWithChannel();
        setBandFrequency(image, Band::A, 0x14500000);
        writeLe16(image.bandRecord(Band::A).data() + layout::vfo::RxTone, static_cast<std::uint16_t>(stored));
        BandSettings a = LoadBand(image, Band::A, Off);
        QCOMPARE(QString::fromStdString(a.rxTone), QString());
        StoreBand(image, Band::A, a, Off);
        QCOMPARE(uint(bandHalf(image, Band::A, layout::vfo::RxTone)), written);
    }

    void displayModeCoupling_data()
    {
        QTest::addColumn<int>("changed");
        QTest::addColumn<int>("other");
        QTest::addColumn<int>("result");
        QTest::newRow("shared mode taken by both") << 3 << 1 << 3;
        QTest::newRow("leaving the shared mode") << 1 << 3 << 1;
        QTest::newRow("other mode untouched") << 2 << 0 << 0;
    }
    void displayModeCoupling()
    {
        QFETCH(int, changed);
        QFETCH(int, other);
        QFETCH(int, result);
        BandSettings a, b;
        a.displayMode = changed;
        b.displayMode = other;
        CoupleDisplayModes(a, b);
        QCOMPARE(b.displayMode, result);
    }

    void noChannelRule()
    {
        RadioImage image;  // no channel in use
        image.functionData()[layout::functions::ChannelDisplayA] = 1;
        OptionsValues values = LoadOptions(image, Off);
        QCOMPARE(values.band(Band::A).displayMode, 3);
        values.band(Band::A).displayMode = 0;
        values.band(Band::B).displayMode = 2;
        StoreOptions(image, values, Off);
        QCOMPARE(int(image.functionData()[layout::functions::ChannelDisplayA]), 3);
        QCOMPARE(int(image.functionData()[layout::functions::ChannelDisplayB]), 3);
        QCOMPARE(values.band(Band::B).displayMode, 3);
    }

    void noticeText()
    {
        const LanguageText text = [](int n) { return "<" + std::to_string(n) + ">"; };
        QCOMPARE(QString::fromStdString(NoticeText({true, true}, text)), QStringLiteral("<115><126>"));
        QCOMPARE(QString::fromStdString(NoticeText({false, true}, text)), QStringLiteral("<126>"));
        QCOMPARE(QString::fromStdString(NoticeText({}, text)), QString());
    }

    // Random settings bytes: one load and store changes only the bytes of a setting, and a
    // second round changes nothing more.
    void loadThenStoreTouchesOnlyRuleBytes()
    {
        std::mt19937 random(10);
        for (int round = 0; round < 20; ++round) {
            RadioImage image = imageWithChannel();
            for (auto block : {image.vfoData(), image.functionData(), image.offsetData(), image.startupTextData()})
                for (auto& byte : block)
                    byte = static_cast<std::uint8_t>(random());
            // A typed text out of range is replaced off the step grid, which a second store
            // would snap; keep the frequencies in range (or erased) for the second round.
            setBandFrequency(image, Band::A, 0x14512345);
            if (round % 2)
                setBandFrequency(image, Band::B, NoFrequency);
            const RadioImage before = image;
            OptionsValues values = LoadOptions(image, Off);
            StoreOptions(image, values, Off);

            std::set<const std::uint8_t*> settingBytes;
            for (const Field& field : Fields()) {
                if (!IsOptionsPageField(field))
                    continue;
                const std::uint8_t* p = fieldPointer(image, field);
                for (int k = 0; k < (IsTextRule(field.rule) ? TextLength : 1); ++k)
                    settingBytes.insert(p + k);
            }
            const auto f = image.functionData().data();
            const auto o = image.offsetData().data();
            for (const std::uint8_t* p : {f + 1, f + 2, f + 23, f + 17, f + 34, f + 0, o + 0, o + 16})
                settingBytes.insert(p);
            for (int k = 0; k < 6; ++k) {
                settingBytes.insert(o + 1 + k);
                settingBytes.insert(o + 17 + k);
            }
            for (Band band : {Band::A, Band::B})
                for (int k = 0; k < 16; ++k)
                    settingBytes.insert(image.bandRecord(band).data() + k);
            for (int i = 0; i < RadioImage::Size; ++i)
                if (!settingBytes.count(image.data() + i))
                    QVERIFY2(image.data()[i] == before.data()[i], qPrintable(QString::number(i)));

            const RadioImage once = image;
            values = LoadOptions(image, Off);
            StoreOptions(image, values, Off);
            for (int i = 0; i < RadioImage::Size; ++i)
                QVERIFY2(image.data()[i] == once.data()[i], qPrintable(QString::number(i)));
        }
    }

    void settingsTextsFollowThePage()
    {
        RadioImage image = imageWithChannel();
        image.functionData()[6] = 40;
        setBandFrequency(image, Band::A, 0x14512500);
        const LanguageText text = [](int n) { return n == 12 ? std::string("OFF") : "S" + std::to_string(n); };
        const std::vector<SettingText> texts = SettingsTexts(image, text);
        auto value = [&texts](const std::string& key) {
            for (const SettingText& t : texts)
                if (t.key == key)
                    return QString::fromStdString(t.value);
            return QStringLiteral("<missing>");
        };
        QCOMPARE(value("timeOut"), QStringLiteral("15"));
        QCOMPARE(value("dtmfSideTone"), QStringLiteral("S130"));
        QCOMPARE(value("tdr"), QStringLiteral("S11"));  // default byte 0: checked
        QCOMPARE(value("bandA.frequency"), QStringLiteral("145.12500"));
        QCOMPARE(value("bandA.step"), QStringLiteral("12.5KHZ"));
        QCOMPARE(value("bandB.txTone"), QStringLiteral("OFF"));
        QCOMPARE(value("hiddenText"), QStringLiteral("WELCOM"));
        QCOMPARE(value("sideKey"), QStringLiteral("S42"));
        QCOMPARE(QString::fromStdString(texts.front().key), QStringLiteral("startupText"));
        QCOMPARE(QString::fromStdString(texts.back().key), QStringLiteral("sideKey"));
    }
};

QTEST_APPLESS_MAIN(TestSettings)
#include "tst_settings.moc"
