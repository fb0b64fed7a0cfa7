// The value codecs: frequency words and texts, typed-frequency clean-up, tone codes and
// texts, the tone list, steps, offset digits and their list, and the transmit windows.
#include "radio/Codecs.h"

#include <QtTest>

#include <array>
#include <clocale>
#include <set>

using namespace tarn;

namespace {

using Offset = std::array<std::uint8_t, 6>;

Offset offsetFromBytes(const QByteArray& bytes)
{
    Offset o{};
    for (int i = 0; i < 6; ++i)
        o[i] = static_cast<std::uint8_t>(bytes[i]);
    return o;
}

}  // namespace

class TestCodecs : public QObject {
    Q_OBJECT

private slots:
    // --- frequency words ---------------------------------------------------------------

    void frequencyWordToText_data()
    {
        QTest::addColumn<uint>("word");
        QTest::addColumn<bool>("programmed");
        QTest::addColumn<QString>("text");
        QTest::newRow("436.02500") << 0x43602500u << true << "436.02500";
        QTest::newRow("0x12340000 shows 123.40000") << 0x12340000u << true << "123.40000";
        QTest::newRow("erased word is empty") << 0xFFFFFFFFu << false << "";
        QTest::newRow("10 Hz nibble above 9") << 0x1450000Au << false << "";
        QTest::newRow("100 Hz nibble above 9") << 0x145000A0u << false << "";
        QTest::newRow("kHz nibble above 9") << 0x14500A00u << false << "";
        QTest::newRow("10 kHz nibble above 9") << 0x1450F000u << false << "";
        QTest::newRow("upper nibbles not examined") << 0xF0000000u << true << "1500.00000";
        QTest::newRow("VFO default A") << 0x37502500u << true << "375.02500";
        QTest::newRow("all digits") << 0x14799750u << true << "147.99750";
        QTest::newRow("10 Hz digit") << 0x14500001u << true << "145.00001";
        QTest::newRow("zero") << 0x00000000u << true << "0.00000";
    }
    void frequencyWordToText()
    {
        QFETCH(uint, word);
        QFETCH(bool, programmed);
        QFETCH(QString, text);
        std::string out = "stale";
        QCOMPARE(FrequencyToText(word, out), programmed);
        QCOMPARE(QString::fromStdString(out), text);
        QCOMPARE(IsBcdFrequency(word), programmed);
    }

    void frequencyTextIgnoresTheProcessLocale()
    {
        const char* previous = std::setlocale(LC_NUMERIC, nullptr);
        const std::string saved = previous ? previous : "C";
        if (!std::setlocale(LC_NUMERIC, "de_DE.UTF-8") && !std::setlocale(LC_NUMERIC, "fr_FR.UTF-8"))
            QSKIP("no locale with a decimal comma installed");
        std::string text;
        FrequencyToText(0x14550000, text);
        std::string tone;
        ToneCodeToText(885, true, tone, "OFF");
        const std::uint16_t code = ToneTextToCode("69.3", true, "OFF");
        std::setlocale(LC_NUMERIC, saved.c_str());
        QCOMPARE(QString::fromStdString(text), QStringLiteral("145.50000"));
        QCOMPARE(QString::fromStdString(tone), QStringLiteral("88.5"));
        QCOMPARE(int(code), 693);
    }

    void normalizeFrequencyText_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<int>("step");
        QTest::addColumn<QString>("normalized");
        QTest::newRow("145") << "145" << -1 << "145.00000";
        QTest::newRow("145.5") << "145.5" << -1 << "145.50000";
        QTest::newRow("145.0123 to the 2.5 kHz point") << "145.0123" << -1 << "145.01000";
        QTest::newRow("145.006 to the 2.5 kHz point") << "145.006" << -1 << "145.00500";
        QTest::newRow("145.00625 on the 6.25 grid stays") << "145.00625" << -1 << "145.00625";
        QTest::newRow("145.0070 to the 6.25 kHz point") << "145.0070" << -1 << "145.00625";
        QTest::newRow("99.5 below range") << "99.5" << -1 << "136.02500";
        QTest::newRow("99 below range") << "99" << -1 << "136.02500";
        QTest::newRow("100 accepted") << "100" << -1 << "100.00000";
        QTest::newRow("600 accepted") << "600" << -1 << "600.00000";
        QTest::newRow("600.5 accepted") << "600.5" << -1 << "600.50000";
        QTest::newRow("601 above range") << "601" << -1 << "400.02500";
        QTest::newRow("letters are below range") << "abc" << -1 << "136.02500";
        QTest::newRow("empty") << "" << -1 << "136.02500";
        QTest::newRow("huge number") << "99999999999999999999" << -1 << "400.02500";
        QTest::newRow("negative") << "-145" << -1 << "136.02500";
        QTest::newRow("long fraction cut to five digits") << "145.1234567" << -1 << "145.12250";
        QTest::newRow("point alone") << "145." << -1 << "145.00000";
        QTest::newRow("step 2: 446.00624 down") << "446.00624" << 2 << "446.00000";
        QTest::newRow("step 2: 446.00625 stays") << "446.00625" << 2 << "446.00625";
        QTest::newRow("step 0") << "446.0049" << 0 << "446.00250";
        QTest::newRow("step 3") << "446.0199" << 3 << "446.01000";
        QTest::newRow("step 7") << "446.19" << 7 << "446.10000";
        QTest::newRow("step 7 keeps leading zeros") << "446.01" << 7 << "446.00000";
        QTest::newRow("step 4") << "446.0130" << 4 << "446.01250";
        QTest::newRow("step 8 uses both grids") << "145.006" << 8 << "145.00500";
        QTest::newRow("fourth character kept as typed") << "145x5" << -1 << "145x50000";
        QTest::newRow("unchanged fraction kept character for character") << "145.0.5" << -1 << "145.0.500";
    }
    void normalizeFrequencyText()
    {
        QFETCH(QString, typed);
        QFETCH(int, step);
        QFETCH(QString, normalized);
        std::string text = typed.toStdString();
        NormalizeFrequencyText(text, step);
        QCOMPARE(QString::fromStdString(text), normalized);
    }

    void textToFrequency_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<uint>("word");
        QTest::newRow("145.50000") << "145.50000" << true << 0x14550000u;
        QTest::newRow("145.5 normalised first") << "145.5" << true << 0x14550000u;
        QTest::newRow("436.025") << "436.025" << true << 0x43602500u;
        QTest::newRow("rounded to the grid") << "145.0123" << true << 0x14501000u;
        QTest::newRow("out of range replaced") << "99" << true << 0x13602500u;
        QTest::newRow("above range replaced") << "700" << true << 0x40002500u;
        QTest::newRow("not valid") << "145.5" << false << 0xFFFFFFFFu;
        QTest::newRow("empty") << "" << true << 0xFFFFFFFFu;
        // A text that is not a plain frequency is refused rather than cut or packed.
        QTest::newRow("second point 145.1.5") << "145.1.5" << true << 0xFFFFFFFFu;
        QTest::newRow("second point on the grid 145.0.5") << "145.0.5" << true << 0xFFFFFFFFu;
        QTest::newRow("fourth character not a point") << "145x5" << true << 0xFFFFFFFFu;
        QTest::newRow("decimal comma") << "145,5" << true << 0xFFFFFFFFu;
        QTest::newRow("letters in the fraction") << "145.abc" << true << 0xFFFFFFFFu;
        QTest::newRow("letter after digits") << "145.5a" << true << 0xFFFFFFFFu;
        QTest::newRow("trailing blank") << "145.5 " << true << 0xFFFFFFFFu;
        QTest::newRow("leading blank") << " 145.5" << true << 0xFFFFFFFFu;
        QTest::newRow("sign") << "+145.5" << true << 0xFFFFFFFFu;
    }
    void textToFrequency()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(uint, word);
        QCOMPARE(TextToFrequency(text.toStdString(), valid), std::uint32_t(word));
    }

    void frequencyTextRoundTrip_data()
    {
        QTest::addColumn<uint>("word");
        for (uint w : {0x10000000u, 0x14550000u, 0x43602500u, 0x60000000u, 0x14799750u, 0x44600625u})
            QTest::addRow("%08X", w) << w;
    }
    void frequencyTextRoundTrip()
    {
        QFETCH(uint, word);
        std::string text;
        QVERIFY(FrequencyToText(word, text));
        QCOMPARE(TextToFrequency(text, true), std::uint32_t(word));
    }

    void transmitWindows_data()
    {
        QTest::addColumn<uint>("word");
        QTest::addColumn<bool>("inside");
        QTest::newRow("143.99750 below") << 0x14399750u << false;
        QTest::newRow("144.00000 low edge") << 0x14400000u << true;
        QTest::newRow("147.99750 high edge") << 0x14799750u << true;
        QTest::newRow("147.99760 outside") << 0x14799760u << false;
        QTest::newRow("148.00000 outside") << 0x14800000u << false;
        QTest::newRow("429.99990 outside") << 0x42999990u << false;
        QTest::newRow("430.00000") << 0x43000000u << true;
        QTest::newRow("449.99750") << 0x44999750u << true;
        QTest::newRow("449.99760") << 0x44999760u << false;
        QTest::newRow("460.00000 between") << 0x46000000u << false;
        QTest::newRow("470.00000") << 0x47000000u << true;
        QTest::newRow("511.99750") << 0x51199750u << true;
        QTest::newRow("511.99760") << 0x51199760u << false;
        QTest::newRow("no frequency is outside") << 0xFFFFFFFFu << false;
    }
    void transmitWindows()
    {
        QFETCH(uint, word);
        QFETCH(bool, inside);
        QCOMPARE(InTransmitWindows(word), inside);
    }

    // --- tones ---------------------------------------------------------------------------

    void toneCodeToText_data()
    {
        QTest::addColumn<int>("code");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<QString>("text");
        QTest::newRow("off, valid") << 0xFFFF << true << "OFF";
        QTest::newRow("off, not valid: empty") << 0xFFFF << false << "";
        QTest::newRow("0x0000") << 0x0000 << true << "0.0";
        QTest::newRow("67.0") << 0x029E << true << "67.0";
        QTest::newRow("254.1") << 0x09ED << true << "254.1";
        QTest::newRow("CTCSS converted even when not valid") << 885 << false << "88.5";
        QTest::newRow("DN023") << 0x2813 << true << "DN023";
        QTest::newRow("DI023") << 0xA813 << true << "DI023";
        QTest::newRow("DN645") << 0x29A5 << true << "DN645";
        QTest::newRow("DN754") << 0x29EC << true << "DN754";
        QTest::newRow("DI754") << 0xA9EC << true << "DI754";
        QTest::newRow("low nine bits only") << 0x7E13 << true << "DN023";
        QTest::newRow("DCS not valid still converted") << 0x2813 << false << "DN023";
    }
    void toneCodeToText()
    {
        QFETCH(int, code);
        QFETCH(bool, valid);
        QFETCH(QString, text);
        std::string out = "stale";
        ToneCodeToText(static_cast<std::uint16_t>(code), valid, out, "OFF");
        QCOMPARE(QString::fromStdString(out), text);
    }

    void toneTextToCode_data()
    {
        QTest::addColumn<QString>("text");
        QTest::addColumn<bool>("valid");
        QTest::addColumn<int>("code");
        QTest::newRow("off text") << "OFF" << true << 0xFFFF;
        QTest::newRow("not valid") << "88.5" << false << 0xFFFF;
        QTest::newRow("DN023") << "DN023" << true << 0x2813;
        QTest::newRow("DI023") << "DI023" << true << 0xA813;
        QTest::newRow("DN645") << "DN645" << true << 0x29A5;
        QTest::newRow("DN754") << "DN754" << true << 0x29EC;
        QTest::newRow("DI754") << "DI754" << true << 0xA9EC;
        QTest::newRow("254.1") << "254.1" << true << 2541;
        QTest::newRow("69.3 exact tenths") << "69.3" << true << 693;
        QTest::newRow("no leading digits is 0") << "abc" << true << 0;
        QTest::newRow("empty is 0") << "" << true << 0;
        QTest::newRow("leading blanks") << "  88.5" << true << 885;
        QTest::newRow("short DCS text does not overrun") << "DN" << true << 0x2800;
    }
    void toneTextToCode()
    {
        QFETCH(QString, text);
        QFETCH(bool, valid);
        QFETCH(int, code);
        QCOMPARE(int(ToneTextToCode(text.toStdString(), valid, "OFF")), code);
    }

    void everyToneSurvivesTextCodeText_data()
    {
        QTest::addColumn<QString>("text");
        for (std::string_view tone : ToneTexts())
            QTest::newRow(std::string(tone).c_str()) << QString::fromLatin1(tone.data(), int(tone.size()));
    }
    void everyToneSurvivesTextCodeText()
    {
        QFETCH(QString, text);
        const std::uint16_t code = ToneTextToCode(text.toStdString(), true, "OFF");
        QVERIFY(code != NoTone);
        std::string back;
        ToneCodeToText(code, true, back, "OFF");
        QCOMPARE(QString::fromStdString(back), text);
    }

    void toneListHas261ItemsInOrder()
    {
        const std::vector<std::string> items = ToneListItems("Off");
        QCOMPARE(int(items.size()), 261);
        QCOMPARE(QString::fromStdString(items[0]), QStringLiteral("Off"));
        QCOMPARE(QString::fromStdString(items[1]), QStringLiteral("67.0"));
        QCOMPARE(QString::fromStdString(items[50]), QStringLiteral("254.1"));
        QCOMPARE(QString::fromStdString(items[51]), QStringLiteral("DN023"));
        QCOMPARE(QString::fromStdString(items[155]), QStringLiteral("DN754"));
        QCOMPARE(QString::fromStdString(items[156]), QStringLiteral("DI023"));
        QCOMPARE(QString::fromStdString(items[260]), QStringLiteral("DI754"));
        std::set<std::string> unique(items.begin(), items.end());
        QCOMPARE(int(unique.size()), 261);
        for (const std::string& item : items)
            QVERIFY2(item.size() <= 5, item.c_str());
    }

    void toneCodesAscendWithinEachGroup()
    {
        const auto& tones = ToneTexts();
        for (int i = 1; i < 260; ++i) {
            if (i == 50 || i == 155)
                continue;  // group boundaries
            const int previous = ToneTextToCode(std::string(tones[i - 1]), true, "OFF");
            const int current = ToneTextToCode(std::string(tones[i]), true, "OFF");
            QVERIFY2(current > previous, std::string(tones[i]).c_str());
        }
    }

    // --- steps and offsets ----------------------------------------------------------------

    void stepTable_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("grid");
        QTest::addColumn<QString>("printed");
        QTest::addColumn<QString>("item");
        QTest::newRow("0") << 0 << 250 << "2.5" << "2.5KHZ";
        QTest::newRow("1") << 1 << 500 << "5" << "5KHZ";
        QTest::newRow("2") << 2 << 625 << "6.25" << "6.25KHZ";
        QTest::newRow("3") << 3 << 1000 << "10" << "10KHZ";
        QTest::newRow("4") << 4 << 1250 << "12.5" << "12.5KHZ";
        QTest::newRow("5") << 5 << 2500 << "25" << "25KHZ";
        QTest::newRow("6") << 6 << 5000 << "50" << "50KHZ";
        QTest::newRow("7") << 7 << 10000 << "100" << "100KHZ";
    }
    void stepTable()
    {
        QFETCH(int, index);
        QFETCH(int, grid);
        QFETCH(QString, printed);
        QFETCH(QString, item);
        const StepInfo& step = Steps()[index];
        QCOMPARE(step.grid, grid);
        QCOMPARE(QString::fromLatin1(step.printed.data(), int(step.printed.size())), printed);
        QCOMPARE(QString::fromLatin1(step.listItem.data(), int(step.listItem.size())), item);
    }

    void offsetListSizeAndItems_data()
    {
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("count");
        QTest::addColumn<QString>("second");
        QTest::addColumn<QString>("last");
        QTest::newRow("2.5 kHz") << 0 << 28000 << "00.002500" << "69.997500";
        QTest::newRow("5 kHz") << 1 << 14000 << "00.005000" << "69.995000";
        QTest::newRow("6.25 kHz") << 2 << 11200 << "00.006250" << "69.993750";
        QTest::newRow("12.5 kHz") << 4 << 5600 << "00.012500" << "69.987500";
        QTest::newRow("100 kHz") << 7 << 700 << "00.100000" << "69.900000";
        QTest::newRow("unknown step uses 125 kHz") << 9 << 560 << "00.125000" << "69.875000";
    }
    void offsetListSizeAndItems()
    {
        QFETCH(int, step);
        QFETCH(int, count);
        QFETCH(QString, second);
        QFETCH(QString, last);
        const std::vector<std::string> items = OffsetListItems(step);
        QCOMPARE(int(items.size()), count);
        // The lists computed on demand show the same items.
        QCOMPARE(OffsetItemCount(step), count);
        for (int k = 0; k < count; ++k)
            QCOMPARE(OffsetItemText(k, step), items[k]);
        QCOMPARE(OffsetItemText(count, step), std::string());
        QCOMPARE(QString::fromStdString(items[0]), QStringLiteral("00.000000"));
        QCOMPARE(QString::fromStdString(items[1]), second);
        QCOMPARE(QString::fromStdString(items.back()), last);
    }

    void offsetListItemStandsForIndexTimesGrid()
    {
        for (int step = 0; step < 8; ++step) {
            const std::vector<std::string> items = OffsetListItems(step);
            const int grid = Steps()[step].grid;
            for (int k = 0; k < int(items.size()); k += 37) {
                const int value = k * grid;
                char expected[16];
                std::snprintf(expected, sizeof expected, "%02d.%05d0", value / 100000, value % 100000);
                QCOMPARE(QString::fromStdString(items[k]), QString::fromLatin1(expected));
            }
        }
        QCOMPARE(QString::fromStdString(OffsetListItems(4)[5 * 80 + 45]), QStringLiteral("05.562500"));
    }

    void offsetToIndex_data()
    {
        QTest::addColumn<QByteArray>("digits");
        QTest::addColumn<int>("step");
        QTest::addColumn<int>("index");
        QTest::newRow("zero") << QByteArray::fromHex("000000000000") << 0 << 0;
        QTest::newRow("60 MHz, 100 kHz") << QByteArray::fromHex("060000000000") << 7 << 600;
        QTest::newRow("70 MHz is no offset") << QByteArray::fromHex("070000000000") << 7 << -1;
        QTest::newRow("69.99999 MHz") << QByteArray::fromHex("060909090999") << 0 << 27999;
        QTest::newRow("erased, 12.5 kHz") << QByteArray::fromHex("FFFFFFFFFFFF") << 4 << -888;
        QTest::newRow("600 kHz default, 6.25 kHz") << QByteArray::fromHex("000006000000") << 2 << 96;
        QTest::newRow("5.625 MHz, 6.25 kHz") << QByteArray::fromHex("000506020500") << 2 << 900;
        QTest::newRow("off grid truncates") << QByteArray::fromHex("000000000150") << 0 << 0;
    }
    void offsetToIndex()
    {
        QFETCH(QByteArray, digits);
        QFETCH(int, step);
        QFETCH(int, index);
        const Offset o = offsetFromBytes(digits);
        QCOMPARE(OffsetToIndex(o.data(), step), index);
    }

    void erasedOffsetValue()
    {
        const Offset erased{0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF};
        QCOMPARE(OffsetValue(erased.data()), -1110935);
    }

    void indexToOffset_data()
    {
        QTest::addColumn<int>("index");
        QTest::addColumn<int>("step");
        QTest::addColumn<QByteArray>("digits");
        QTest::newRow("600 at 100 kHz") << 600 << 7 << QByteArray::fromHex("060000000000");
        QTest::newRow("1 at 6.25 kHz") << 1 << 2 << QByteArray::fromHex("000000000625");
        QTest::newRow("last at 2.5 kHz") << 27999 << 0 << QByteArray::fromHex("060909090750");
        QTest::newRow("5.625 MHz") << 900 << 2 << QByteArray::fromHex("000506020500");
    }
    void indexToOffset()
    {
        QFETCH(int, index);
        QFETCH(int, step);
        QFETCH(QByteArray, digits);
        Offset o{};
        IndexToOffset(index, step, o.data());
        QCOMPARE(QByteArray(reinterpret_cast<const char*>(o.data()), 6).toHex(), digits.toHex());
    }

    void everyOffsetIndexRoundTrips()
    {
        for (int step = 0; step < 8; ++step) {
            const int count = 70 * (100000 / Steps()[step].grid);
            for (int index = 0; index < count; ++index) {
                Offset o{};
                IndexToOffset(index, step, o.data());
                if (OffsetToIndex(o.data(), step) != index)
                    QFAIL(qPrintable(QStringLiteral("step %1 index %2").arg(step).arg(index)));
            }
        }
    }
};

QTEST_APPLESS_MAIN(TestCodecs)
#include "tst_codecs.moc"
