// The programming protocol against a scripted line: frames, checks and retries.
#include "link/Protocol.h"
#include "tests/link/ScriptedLine.h"

#include <QElapsedTimer>
#include <QtTest>

using namespace tarn;

namespace {
const Bytes Entry{'P', 'o', 'L', 'M', 'T', 'K', '7', 'Z'};
const Bytes Ack{0x06};

Bytes identity(std::uint8_t last)
{
    return {0x06, 'T', 'Z', '3', '8', '6', 'V', last};
}

Bytes readReply(std::uint8_t high, std::uint8_t low, std::uint8_t fill = 0x5A)
{
    Bytes reply{0x57, high, low, 0x40};
    for (int i = 0; i < 64; ++i)
        reply.push_back(static_cast<std::uint8_t>(fill + i));
    return reply;
}
}  // namespace

class TestProtocol : public QObject {
    Q_OBJECT
private slots:
    void entryWaitsThenPurgesBeforeTheFirstSend();
    void entrySendsAttemptsPlusOneTimesToASilentRadio_data();
    void entrySendsAttemptsPlusOneTimesToASilentRadio();
    void entrySucceedsOnALateAck();
    void entryStopsAtOnceOnAWrongByte();
    void entryFailsWhenNothingIsWritten();

    void identifyAcceptsAnyLastByte_data();
    void identifyAcceptsAnyLastByte();
    void identifyRejectsAnotherModel_data();
    void identifyRejectsAnotherModel();
    void identifyFailsWithoutTheFinalAck();

    void readBlockSendsTheRequestAndAcknowledges();
    void readBlockResendsAfterAShortReply();
    void readBlockGivesUpAfterFourShortReplies();
    void readBlockDoesNotResendOnAWrongEcho();
    void readBlockKeepsTheDataWhenTheFinalAckNeverComes();
    void readBlockWaitsForALateFinalAck();
    void readBlockFailsOnAWrongFinalByte();

    void readLimitBlockDescramblesBothNibbles();
    void readLimitBlockDoesNotRetryAShortReply();

    void writeChunkSendsHeaderThenData();
    void writeChunkResendsUntilAcknowledged();
    void writeChunkGivesUpAfterFourAttempts();

    void nibbleSubstitutionIsOneToOneAndInverted();
    void scrambledLimitsDescrambleToTheirValues();
};

void TestProtocol::entryWaitsThenPurgesBeforeTheFirstSend()
{
    ScriptedLine line;
    line.reply(Ack);
    QElapsedTimer timer;
    timer.start();
    QVERIFY(Protocol(line).enterProgramming(3));
    QVERIFY(timer.elapsed() >= 180);
    QCOMPARE(line.events, (std::vector<char>{'P', 'W', 'R'}));
    QCOMPARE(line.sent, std::vector<Bytes>{Entry});
    QCOMPARE(line.readSizes, std::vector<int>{1});
}

void TestProtocol::entrySendsAttemptsPlusOneTimesToASilentRadio_data()
{
    QTest::addColumn<int>("attempts");
    QTest::newRow("first port") << 3;
    QTest::newRow("other ports") << 1;
}

void TestProtocol::entrySendsAttemptsPlusOneTimesToASilentRadio()
{
    QFETCH(int, attempts);
    ScriptedLine line;
    QVERIFY(!Protocol(line).enterProgramming(attempts));
    QCOMPARE(int(line.sent.size()), attempts + 1);
    for (const Bytes& frame : line.sent)
        QCOMPARE(frame, Entry);
    QCOMPARE(line.purges, 1);
}

void TestProtocol::entrySucceedsOnALateAck()
{
    ScriptedLine line;
    line.silence(2);
    line.reply(Ack);
    QVERIFY(Protocol(line).enterProgramming(3));
    QCOMPARE(line.sent.size(), std::size_t(3));
}

void TestProtocol::entryStopsAtOnceOnAWrongByte()
{
    ScriptedLine line;
    line.reply({0x15});
    line.reply(Ack);
    QVERIFY(!Protocol(line).enterProgramming(3));
    QCOMPARE(line.sent.size(), std::size_t(1));
}

void TestProtocol::entryFailsWhenNothingIsWritten()
{
    ScriptedLine line;
    line.failWriteAt = 1;
    line.reply(Ack);
    QVERIFY(!Protocol(line).enterProgramming(3));
    QVERIFY(line.readSizes.empty());
}

void TestProtocol::identifyAcceptsAnyLastByte_data()
{
    QTest::addColumn<int>("last");
    QTest::newRow("zero") << 0x00;
    QTest::newRow("0xFF") << 0xFF;
    QTest::newRow("letter") << int('X');
}

void TestProtocol::identifyAcceptsAnyLastByte()
{
    QFETCH(int, last);
    ScriptedLine line;
    line.reply(identity(static_cast<std::uint8_t>(last)));
    line.reply(Ack);
    QVERIFY(Protocol(line).identify());
    QCOMPARE(line.sent, (std::vector<Bytes>{{0x02}, Ack}));
    QCOMPARE(line.readSizes, (std::vector<int>{8, 1}));
}

void TestProtocol::identifyRejectsAnotherModel_data()
{
    QTest::addColumn<Bytes>("reply");
    QTest::newRow("no ack first") << Bytes{0x15, 'T', 'Z', '3', '8', '6', 'V', 0};
    QTest::newRow("other model") << Bytes{0x06, 'T', 'Z', '3', '8', '7', 'V', 0};
    QTest::newRow("other band letter") << Bytes{0x06, 'T', 'Z', '3', '8', '6', 'U', 0};
    QTest::newRow("short") << Bytes{0x06, 'T', 'Z', '3', '8', '6', 'V'};
    QTest::newRow("silent") << Bytes{};
}

void TestProtocol::identifyRejectsAnotherModel()
{
    QFETCH(Bytes, reply);
    ScriptedLine line;
    line.reply(reply);
    line.reply(Ack);
    QVERIFY(!Protocol(line).identify());
    QCOMPARE(line.sent, (std::vector<Bytes>{{0x02}}));  // no acknowledge for a wrong radio
}

void TestProtocol::identifyFailsWithoutTheFinalAck()
{
    ScriptedLine line;
    line.reply(identity(1));
    QVERIFY(!Protocol(line).identify());
    QCOMPARE(line.sent.size(), std::size_t(2));
}

void TestProtocol::readBlockSendsTheRequestAndAcknowledges()
{
    ScriptedLine line;
    line.reply(readReply(0x08, 0x10));
    line.reply(Ack);
    std::uint8_t data[64] = {};
    QVERIFY(Protocol(line).readBlock(0x08, 0x10, data));
    QCOMPARE(line.sent, (std::vector<Bytes>{{0x52, 0x08, 0x10, 0x40}, Ack}));
    QCOMPARE(line.readSizes, (std::vector<int>{68, 1}));
    QCOMPARE(data[0], std::uint8_t(0x5A));
    QCOMPARE(data[63], std::uint8_t(0x5A + 63));
}

void TestProtocol::readBlockResendsAfterAShortReply()
{
    ScriptedLine line;
    Bytes shortReply = readReply(0x00, 0x10);
    shortReply.resize(30);
    line.reply(shortReply);
    line.silence();
    line.reply(shortReply);
    line.reply(readReply(0x00, 0x10));
    line.reply(Ack);
    std::uint8_t data[64] = {};
    QVERIFY(Protocol(line).readBlock(0x00, 0x10, data));
    const Bytes request{0x52, 0x00, 0x10, 0x40};
    QCOMPARE(line.sent, (std::vector<Bytes>{request, request, request, request, Ack}));
}

void TestProtocol::readBlockGivesUpAfterFourShortReplies()
{
    ScriptedLine line;
    line.silence(4);
    line.reply(readReply(0x00, 0x10));
    std::uint8_t data[64] = {};
    QVERIFY(!Protocol(line).readBlock(0x00, 0x10, data));
    QCOMPARE(line.sent.size(), std::size_t(4));
    QCOMPARE(data[0], std::uint8_t(0));
}

void TestProtocol::readBlockDoesNotResendOnAWrongEcho()
{
    ScriptedLine line;
    line.reply(readReply(0x00, 0x50));
    line.reply(readReply(0x00, 0x10));
    std::uint8_t data[64] = {};
    QVERIFY(!Protocol(line).readBlock(0x00, 0x10, data));
    QCOMPARE(line.sent, (std::vector<Bytes>{{0x52, 0x00, 0x10, 0x40}}));
    QCOMPARE(data[0], std::uint8_t(0));  // nothing from a reply for another address
}

void TestProtocol::readBlockKeepsTheDataWhenTheFinalAckNeverComes()
{
    ScriptedLine line;
    line.reply(readReply(0x0E, 0x20, 0x10));
    std::uint8_t data[64] = {};
    QVERIFY(!Protocol(line).readBlock(0x0E, 0x20, data));
    QCOMPARE(data[0], std::uint8_t(0x10));
    QCOMPARE(data[63], std::uint8_t(0x10 + 63));
    QCOMPARE(line.readSizes, (std::vector<int>{68, 1, 1, 1, 1}));
    QCOMPARE(line.sent.size(), std::size_t(2));  // the request is not repeated
}

void TestProtocol::readBlockWaitsForALateFinalAck()
{
    ScriptedLine line;
    line.reply(readReply(0x0E, 0x20));
    line.silence(3);
    line.reply(Ack);
    std::uint8_t data[64] = {};
    QVERIFY(Protocol(line).readBlock(0x0E, 0x20, data));
}

void TestProtocol::readBlockFailsOnAWrongFinalByte()
{
    ScriptedLine line;
    line.reply(readReply(0x0E, 0x20));
    line.reply({0x15});
    std::uint8_t data[64] = {};
    QVERIFY(!Protocol(line).readBlock(0x0E, 0x20, data));
    QCOMPARE(line.readSizes.size(), std::size_t(2));
}

void TestProtocol::readLimitBlockDescramblesBothNibbles()
{
    ScriptedLine line;
    Bytes reply{0x57, 0x09, 0x70, 0x40};
    for (int i = 0; i < 64; ++i)
        reply.push_back(static_cast<std::uint8_t>(i * 4 + 1));
    line.reply(reply);
    line.reply(Ack);
    std::uint8_t data[64] = {};
    QVERIFY(Protocol(line).readLimitBlock(0x09, 0x70, data));
    for (int i = 0; i < 64; ++i) {
        const std::uint8_t stored = static_cast<std::uint8_t>(i * 4 + 1);
        const int high = (7 * (stored >> 4) + 3) % 16;
        const int low = (7 * (stored & 0x0F) + 3) % 16;
        QCOMPARE(int(data[i]), high * 16 + low);
    }
    QCOMPARE(line.sent, (std::vector<Bytes>{{0x52, 0x09, 0x70, 0x40}, Ack}));
}

void TestProtocol::readLimitBlockDoesNotRetryAShortReply()
{
    ScriptedLine line;
    Bytes reply{0x57, 0x09, 0x70, 0x40, 1, 2, 3};
    line.reply(reply);
    line.reply({0x57, 0x09, 0x70, 0x40});
    std::uint8_t data[64] = {};
    QVERIFY(!Protocol(line).readLimitBlock(0x09, 0x70, data));
    QCOMPARE(line.sent.size(), std::size_t(1));
}

void TestProtocol::writeChunkSendsHeaderThenData()
{
    ScriptedLine line;
    line.reply(Ack);
    Bytes data(16);
    for (int i = 0; i < 16; ++i)
        data[i] = static_cast<std::uint8_t>(0xA0 + i);
    QVERIFY(Protocol(line).writeChunk(0x01, 0x00, data.data()));
    QCOMPARE(line.sent, (std::vector<Bytes>{Bytes{0x57, 0x01, 0x00, 0x10}, data}));
}

void TestProtocol::writeChunkResendsUntilAcknowledged()
{
    ScriptedLine line;
    line.reply({0x15});
    line.silence();
    line.reply({0x00});
    line.reply(Ack);
    Bytes data(16, 0x42);
    QVERIFY(Protocol(line).writeChunk(0x18, 0x20, data.data()));
    QCOMPARE(line.sent.size(), std::size_t(8));
    for (std::size_t i = 0; i < 8; i += 2) {
        QCOMPARE(line.sent[i], (Bytes{0x57, 0x18, 0x20, 0x10}));
        QCOMPARE(line.sent[i + 1], data);
    }
}

void TestProtocol::writeChunkGivesUpAfterFourAttempts()
{
    ScriptedLine line;
    for (int i = 0; i < 5; ++i)
        line.reply({0x15});
    Bytes data(16, 0x42);
    QVERIFY(!Protocol(line).writeChunk(0x18, 0x20, data.data()));
    QCOMPARE(line.sent.size(), std::size_t(8));
    QCOMPARE(line.readSizes.size(), std::size_t(4));
}

void TestProtocol::nibbleSubstitutionIsOneToOneAndInverted()
{
    QSet<int> seen;
    for (int s = 0; s < 16; ++s) {
        const int plain = descrambleNibble(static_cast<std::uint8_t>(s));
        QVERIFY(plain >= 0 && plain < 16);
        seen.insert(plain);
        QCOMPARE(int(scrambleNibble(static_cast<std::uint8_t>(plain))), s);
    }
    QCOMPARE(seen.size(), 16);
    for (int b = 0; b < 256; ++b)
        QCOMPARE(int(descrambleByte(scrambleByte(static_cast<std::uint8_t>(b)))), b);
}

void TestProtocol::scrambledLimitsDescrambleToTheirValues()
{
    // The radio's own substitution: stored s reads as (7 s + 3) mod 16.
    QCOMPARE(int(descrambleNibble(0x0)), 0x3);
    QCOMPARE(int(descrambleNibble(0x1)), 0xA);
    QCOMPARE(int(descrambleNibble(0xB)), 0x0);
    QCOMPARE(int(descrambleByte(0xBB)), 0x00);
    QCOMPARE(int(descrambleByte(0xB1)), 0x0A);
    QCOMPARE(int(descrambleByte(scrambleByte(0x01))), 0x01);
    QCOMPARE(int(descrambleByte(scrambleByte(0x36))), 0x36);
}

QTEST_GUILESS_MAIN(TestProtocol)
#include "tst_protocol.moc"
