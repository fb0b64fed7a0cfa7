// The checks that guard a write: the current-channel fix-up and the band-limit check with
// its messages.
#include "link/WriteChecks.h"
#include "radio/Bytes.h"
#include "radio/RadioImage.h"

#include <QtTest>

using namespace tarn;
using namespace tarn::layout;

namespace {

constexpr std::uint32_t Empty = 0xFFFFFFFFu;

void setChannel(RadioImage& image, int i, std::uint32_t rx, std::uint32_t tx)
{
    writeLe32(image.channelSlot(i).data() + channel::RxFrequency, rx);
    writeLe32(image.channelSlot(i).data() + channel::TxFrequency, tx);
}

void setBand(RadioImage& image, Band band, std::uint32_t rx)
{
    writeLe32(image.bandRecord(band).data() + vfo::RxFrequency, rx);
}

void setLimit(RadioImage& image, int k, std::uint16_t raw)
{
    image.bandLimitData()[2 * k] = static_cast<std::uint8_t>(raw >> 8);
    image.bandLimitData()[2 * k + 1] = static_cast<std::uint8_t>(raw & 0xFF);
}

// Receive 136-174 / 400-480, transmit 144-148 / 430-450; both VFOs inside them (a new
// image's A band, 375.025 MHz, is not).
void setTypicalLimits(RadioImage& image)
{
    using namespace limits;
    setBand(image, Band::A, 0x14500000);
    setBand(image, Band::B, 0x43500000);
    setLimit(image, RxLow1, 0x0136);
    setLimit(image, RxHigh1, 0x0174);
    setLimit(image, RxLow2, 0x0400);
    setLimit(image, RxHigh2, 0x0480);
    setLimit(image, TxLow1, 0x0144);
    setLimit(image, TxHigh1, 0x0148);
    setLimit(image, TxLow2, 0x0430);
    setLimit(image, TxHigh2, 0x0450);
}

std::string fakeText(int n)
{
    return "<" + std::to_string(n) + ">";
}

}  // namespace

class WriteChecksTest : public QObject {
    Q_OBJECT

private slots:
    void receiveFrequencyAgainstLimits_data()
    {
        QTest::addColumn<quint32>("rx");
        QTest::addColumn<bool>("pass");
        QTest::newRow("174.99 inside the allowance") << quint32(0x17499000) << true;
        QTest::newRow("174.9975 last point allowed") << quint32(0x17499750) << true;
        QTest::newRow("174.9980 beyond the allowance") << quint32(0x17499800) << false;
        QTest::newRow("399.99 between the ranges") << quint32(0x39999000) << false;
        QTest::newRow("136.00000 lowest") << quint32(0x13600000) << true;
        QTest::newRow("135.99999 below") << quint32(0x13599999) << false;
        QTest::newRow("400.00000 range 2") << quint32(0x40000000) << true;
        QTest::newRow("480.99750 range 2 top") << quint32(0x48099750) << true;
        QTest::newRow("481.00000 above") << quint32(0x48100000) << false;
    }
    void receiveFrequencyAgainstLimits()
    {
        QFETCH(quint32, rx);
        QFETCH(bool, pass);
        RadioImage image;
        setTypicalLimits(image);
        setChannel(image, 20, rx, Empty);
        const BandLimitVerdict verdict = bandLimitCheck(image, fakeText);
        QCOMPARE(verdict.pass, pass);
        QCOMPARE(verdict.answer(), pass ? 1 : 0);
        QCOMPARE(QString::fromStdString(verdict.message), pass ? QString() : QString("<1> 21 <113>"));
    }

    void newImageLimitsAcceptEveryValidFrequency()
    {
        RadioImage image;
        setChannel(image, 0, 0x99999990, 0x00000000);
        setChannel(image, 127, 0x13600000, 0x90000000);
        setBand(image, Band::A, 0x99999999);
        QVERIFY(bandLimitCheck(image, fakeText).pass);
    }

    void transmitFrequencyCheckedAgainstTransmitRanges()
    {
        RadioImage image;
        setTypicalLimits(image);
        setChannel(image, 4, 0x16000000, 0x16000000);  // receivable, not transmittable
        const BandLimitVerdict verdict = bandLimitCheck(image, fakeText);
        QVERIFY(!verdict.pass);
        QCOMPARE(QString::fromStdString(verdict.message), QString("<1> 5 <113>"));
    }

    void emptyReceiveIsSkippedButTransmitStillChecked()
    {
        RadioImage image;
        setTypicalLimits(image);
        setChannel(image, 2, Empty, 0x14600000);
        QVERIFY(bandLimitCheck(image, fakeText).pass);
        setChannel(image, 2, Empty, 0x50000000);
        const BandLimitVerdict verdict = bandLimitCheck(image, fakeText);
        QVERIFY(!verdict.pass);
        QCOMPARE(QString::fromStdString(verdict.message), QString("<1> 3 <113>"));
    }

    void channelWithBothFrequenciesEmptyIsSkipped()
    {
        RadioImage image;
        setTypicalLimits(image);
        setChannel(image, 7, Empty, Empty);
        setChannel(image, 8, 0xFFFF00FF, 0x0000FFFF);  // low digits not BCD: no frequency
        QVERIFY(bandLimitCheck(image, fakeText).pass);
    }

    void onlyTheFirstOffenderIsReported()
    {
        RadioImage image;
        setTypicalLimits(image);
        setChannel(image, 9, 0x50000000, Empty);
        setChannel(image, 3, 0x14600000, 0x60000000);
        setBand(image, Band::A, 0x90000000);
        QCOMPARE(QString::fromStdString(bandLimitCheck(image, fakeText).message), QString("<1> 4 <113>"));
    }

    void vfoMessagesNameTheBand()
    {
        RadioImage image;
        setTypicalLimits(image);
        setBand(image, Band::A, 0x20000000);
        setBand(image, Band::B, 0x20000000);
        QCOMPARE(QString::fromStdString(bandLimitCheck(image, fakeText).message), QString("<74> A <113>"));
        setBand(image, Band::A, 0x14500000);
        QCOMPARE(QString::fromStdString(bandLimitCheck(image, fakeText).message), QString("<74> B <113>"));
        setBand(image, Band::B, Empty);
        QVERIFY(bandLimitCheck(image, fakeText).pass);
    }

    void vfoIsCheckedAgainstReceiveRangesOnly()
    {
        RadioImage image;
        setTypicalLimits(image);
        setBand(image, Band::A, 0x17000000);  // receive only
        setBand(image, Band::B, 0x47000000);
        QVERIFY(bandLimitCheck(image, fakeText).pass);
    }

    void messageTextsAreJoinedExactly()
    {
        RadioImage image;
        setTypicalLimits(image);
        setChannel(image, 127, 0x10000000, Empty);
        auto texts = [](int n) -> std::string {
            switch (n) {
            case 1: return "Channel";
            case 74: return "Frequency";
            case 113: return "is out of range!";
            default: return "?";
            }
        };
        QCOMPARE(QString::fromStdString(bandLimitCheck(image, texts).message),
                 QString("Channel 128 is out of range!"));
        setChannel(image, 127, Empty, Empty);
        setBand(image, Band::B, 0x10000000);
        QCOMPARE(QString::fromStdString(bandLimitCheck(image, texts).message),
                 QString("Frequency B is out of range!"));
    }

    // The refusal says what was refused against which limits and where to change it, and
    // gives the window the place to open.
    void refusalNamesTheValueTheLimitsAndThePlace_data()
    {
        QTest::addColumn<int>("channel");  // 1-based; 0: none
        QTest::addColumn<quint32>("rx");
        QTest::addColumn<quint32>("tx");
        QTest::addColumn<quint32>("bandA");
        QTest::addColumn<int>("place");
        QTest::addColumn<QString>("detail");
        QTest::newRow("channel receive") << 21 << quint32(0x39999000) << Empty << quint32(0x14500000)
                                         << int(LimitPlace::Channel)
                                         << "<349>399.99000<351>136-174<353>400-480<354>|<355>21";
        QTest::newRow("channel transmit") << 5 << quint32(0x16000000) << quint32(0x16000000) << quint32(0x14500000)
                                          << int(LimitPlace::Channel)
                                          << "<350>160.00000<352>144-148<353>430-450<354>|<355>5";
        QTest::newRow("A band of a new configuration") << 0 << Empty << Empty << quint32(0x37502500)
                                                       << int(LimitPlace::BandA)
                                                       << "<349>375.02500<351>136-174<353>400-480<354>|<356><72>, <74>";
    }
    void refusalNamesTheValueTheLimitsAndThePlace()
    {
        QFETCH(int, channel);
        QFETCH(quint32, rx);
        QFETCH(quint32, tx);
        QFETCH(quint32, bandA);
        QFETCH(int, place);
        QFETCH(QString, detail);
        RadioImage image;
        setTypicalLimits(image);
        setBand(image, Band::A, bandA);
        if (channel > 0)
            setChannel(image, channel - 1, rx, tx);

        const BandLimitVerdict verdict = bandLimitCheck(image, fakeText);

        QVERIFY(!verdict.pass);
        QCOMPARE(int(verdict.place), place);
        QCOMPARE(verdict.channel, channel);
        QStringList lines;
        for (const std::string& line : verdict.detail)
            lines << QString::fromStdString(line);
        QCOMPARE(lines.join('|'), detail);
    }

    void currentChannelFixUp_data()
    {
        QTest::addColumn<QList<int>>("inUse");  // 1-based channel numbers
        QTest::addColumn<int>("a");
        QTest::addColumn<int>("b");
        QTest::addColumn<int>("expectedA");
        QTest::addColumn<int>("expectedB");
        QTest::addColumn<bool>("displaysReset");
        QTest::newRow("2 and 9 in use, A=B=5") << QList<int>{2, 9} << 5 << 5 << 2 << 9 << false;
        QTest::newRow("only 7 in use") << QList<int>{7} << 1 << 1 << 7 << 7 << false;
        QTest::newRow("none in use") << QList<int>{} << 40 << 50 << 1 << 1 << true;
        QTest::newRow("both valid stay") << QList<int>{3, 4, 9} << 9 << 3 << 9 << 3 << false;
        QTest::newRow("A valid, B empty") << QList<int>{3, 4} << 3 << 100 << 3 << 4 << false;
        QTest::newRow("B may equal a valid A") << QList<int>{3, 4} << 4 << 4 << 4 << 4 << false;
        QTest::newRow("A 0 is no channel") << QList<int>{128} << 0 << 128 << 128 << 128 << false;
        QTest::newRow("A 129 is no channel") << QList<int>{1, 128} << 129 << 200 << 1 << 128 << false;
    }
    void currentChannelFixUp()
    {
        QFETCH(QList<int>, inUse);
        QFETCH(int, a);
        QFETCH(int, b);
        QFETCH(int, expectedA);
        QFETCH(int, expectedB);
        QFETCH(bool, displaysReset);
        RadioImage image;
        for (int n : inUse)
            setChannel(image, n - 1, 0x14600000, 0x14600000);
        auto functions = image.functionData();
        functions[functions::CurrentChannelA] = static_cast<std::uint8_t>(a);
        functions[functions::CurrentChannelB] = static_cast<std::uint8_t>(b);
        functions[functions::ChannelDisplayA] = 1;
        functions[functions::ChannelDisplayB] = 2;
        const RadioImage before = image;

        tarn::currentChannelFixUp(image);

        QCOMPARE(int(functions[functions::CurrentChannelA]), expectedA);
        QCOMPARE(int(functions[functions::CurrentChannelB]), expectedB);
        QCOMPARE(int(functions[functions::ChannelDisplayA]), displaysReset ? 3 : 1);
        QCOMPARE(int(functions[functions::ChannelDisplayB]), displaysReset ? 3 : 2);
        // Nothing else in the image moves.
        RadioImage expected = before;
        expected.functionData()[functions::CurrentChannelA] = static_cast<std::uint8_t>(expectedA);
        expected.functionData()[functions::CurrentChannelB] = static_cast<std::uint8_t>(expectedB);
        expected.functionData()[functions::ChannelDisplayA] = functions[functions::ChannelDisplayA];
        expected.functionData()[functions::ChannelDisplayB] = functions[functions::ChannelDisplayB];
        QVERIFY(image == expected);
    }
};

QTEST_GUILESS_MAIN(WriteChecksTest)
#include "tst_transfer_writechecks.moc"
