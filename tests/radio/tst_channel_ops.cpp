// Whole-channel operations: where every channel goes (all 32 bytes, those no column shows
// included), what the current and priority channels point at afterwards, and what is
// refused.
#include "radio/Bytes.h"
#include "radio/ChannelOps.h"
#include "radio/Codecs.h"

#include <QtTest>

#include <cmath>
#include <map>

using namespace tarn;
namespace ch = layout::channel;
namespace fn = layout::functions;

namespace {

ChannelWords words()
{
    return {"High", "Low", "Four", "Five", "Narrow", "Wide", "OFF", "ON"};
}

constexpr int PriorityByte = 62;

// A channel that names itself: `tag` sits in option bits and extension bytes that no column
// shows, so a channel put back together from its texts would not match.
StoredChannel tagged(int tag, std::uint32_t rx, std::uint32_t tx, std::uint16_t rxTone, std::uint16_t txTone,
                     const std::string& name)
{
    StoredChannel c = StoredChannel::empty();
    std::uint8_t* p = c.channel.data();
    writeLe32(p + ch::RxFrequency, rx);
    writeLe32(p + ch::TxFrequency, tx);
    writeLe16(p + ch::RxTone, rxTone);
    writeLe16(p + ch::TxTone, txTone);
    writeLe16(p + ch::OptionsA, static_cast<std::uint16_t>(0x6000 | (tag << 4)));
    writeLe16(p + ch::OptionsB, 0x0001);
    for (std::size_t k = 0; k < name.size(); ++k)
        c.extension[k] = NameCode(name[k]);
    for (int k = 6; k < 16; ++k)
        c.extension[k] = static_cast<std::uint8_t>(tag);
    return c;
}

// Channels 1, 2, 3, 5, 9 and 128 programmed; 7 holds only a transmit frequency (an empty
// channel with bytes of its own). 2 and 5 share frequency and tones, 2 and 9 a name.
std::map<int, StoredChannel> fixtureChannels()
{
    return {
        {1, tagged(1, 0x44600625, 0x44600625, 885, 885, "PMR1")},
        {2, tagged(2, 0x14550000, 0x14550000, NoTone, NoTone, "CALL")},
        {3, tagged(3, 0x43865000, 0x43105000, 670, 670, "RPT")},
        {5, tagged(5, 0x14550000, 0x14550000, NoTone, NoTone, "")},
        {7, tagged(7, NoFrequency, 0x14600000, NoTone, NoTone, "")},
        {9, tagged(9, 0x43350000, 0x43350000, 885, NoTone, "CALL")},
        {128, tagged(128, 0x43000000, 0x43000000, 0x2813, NoTone, "LAST")},
    };
}

RadioImage fixture(const QString& pointers)
{
    RadioImage image;
    for (const auto& [number, channel] : fixtureChannels())
        WriteChannel(image, number - 1, channel);
    const QStringList p = pointers.split(' ');
    auto functions = image.functionData();
    functions[fn::CurrentChannelA] = static_cast<std::uint8_t>(p[0].toInt());
    functions[fn::CurrentChannelB] = static_cast<std::uint8_t>(p[1].toInt());
    functions[PriorityByte] = static_cast<std::uint8_t>(p[2].toInt());
    functions[fn::ChannelDisplayA] = 0;
    return image;
}

// "row:tag" for every channel that is not erased; "?" for bytes that match no channel of
// the fixture whole.
QString layoutOf(const RadioImage& image)
{
    const auto channels = fixtureChannels();
    QStringList rows;
    for (int i = 0; i < layout::ChannelCount; ++i) {
        const StoredChannel c = ReadChannel(image, i);
        if (c == StoredChannel::empty())
            continue;
        QString tag = "?";
        for (const auto& [number, channel] : channels)
            if (channel == c)
                tag = QString::number(number);
        rows << QStringLiteral("%1:%2").arg(i + 1).arg(tag);
    }
    return rows.join(' ');
}

QString pointersOf(const RadioImage& image)
{
    const auto functions = image.functionData();
    return QStringLiteral("%1 %2 %3 %4")
        .arg(functions[fn::CurrentChannelA])
        .arg(functions[fn::CurrentChannelB])
        .arg(functions[PriorityByte])
        .arg(functions[fn::ChannelDisplayA]);
}

// "2-3" or "2,5" or "4" (channel numbers) as rows.
std::vector<int> rowsOf(const QString& text)
{
    std::vector<int> rows;
    for (const QString& part : text.split(',')) {
        const QStringList ends = part.split('-');
        for (int n = ends[0].toInt(); n <= ends.value(1, ends[0]).toInt(); ++n)
            rows.push_back(n - 1);
    }
    return rows;
}

// One operation as the test table writes it.
ChannelOutcome run(RadioImage& image, const QString& op)
{
    const QStringList w = op.split(' ');
    if (w[0] == "paste")
        return PasteChannels(image, w[1].toInt() - 1, CopyChannels(image, rowsOf(w[2])));
    if (w[0] == "clear")
        return ClearChannels(image, rowsOf(w[1]));
    if (w[0] == "delete")
        return DeleteChannels(image, rowsOf(w[1]));
    if (w[0] == "insert")
        return InsertChannels(image, w[1].toInt() - 1);
    if (w[0] == "move")
        return MoveChannels(image, rowsOf(w[1]), w[2].toInt() - 1);
    if (w[0] == "drop")
        return MoveChannelsBefore(image, rowsOf(w[1]), w[2].toInt() - 1);
    if (w[0] == "up")
        return MoveChannelsUp(image, rowsOf(w[1]));
    if (w[0] == "down")
        return MoveChannelsDown(image, rowsOf(w[1]));
    if (w[0] == "sort") {
        const SortKey key = w[1] == "rx" ? SortKey::ReceiveFrequency : w[1] == "name" ? SortKey::Name : SortKey::ReceiveTone;
        return SortChannels(image, w.size() > 2 ? rowsOf(w[2]) : std::vector<int>{}, key);
    }
    if (w[0] == "pack")
        return PackChannels(image);
    qFatal("unknown operation %s", qPrintable(op));
    return {};
}

QString outcomeOf(const ChannelOutcome& outcome)
{
    switch (outcome.refusal) {
    case ChannelRefusal::PastLastChannel:
        return QStringLiteral("refused: %1 past 128").arg(outcome.pastEnd);
    case ChannelRefusal::LastChannelProgrammed:
        return "refused: 128 programmed";
    default:
        break;
    }
    // Runs of rows as first-last.
    QStringList runs;
    for (std::size_t k = 0; k < outcome.rows.size();) {
        std::size_t end = k;
        while (end + 1 < outcome.rows.size() && outcome.rows[end + 1] == outcome.rows[end] + 1)
            ++end;
        runs << (end == k ? QString::number(outcome.rows[k] + 1)
                          : QStringLiteral("%1-%2").arg(outcome.rows[k] + 1).arg(outcome.rows[end] + 1));
        k = end + 1;
    }
    return QStringLiteral("changed %1, rows %2").arg(outcome.changed).arg(runs.join(','));
}

const QString Unchanged = "1:1 2:2 3:3 5:5 7:7 9:9 128:128";

}  // namespace

class TestChannelOps : public QObject {
    Q_OBJECT
private slots:
    void rearrange_data();
    void rearrange();
    void fill_data();
    void fill();
    void setColumn_data();
    void setColumn();
    void duplicatesAndFind();
};

void TestChannelOps::rearrange_data()
{
    QTest::addColumn<QString>("ops");
    QTest::addColumn<QString>("pointers");  // A, B, priority, A's channel display (before)
    QTest::addColumn<QString>("layout");
    QTest::addColumn<QString>("pointersAfter");
    QTest::addColumn<QString>("outcome");  // of the last operation

    QTest::newRow("move 2-3 to 10: the block and what points at it go together")
        << "move 2-3 10" << "2 9 3 0" << "1:1 3:5 5:7 7:9 10:2 11:3 128:128" << "10 7 11 0" << "changed 7, rows 10-11";
    QTest::newRow("move a block touching 128 to the top")
        << "move 127-128 1" << "1 128 0 0" << "2:128 3:1 4:2 5:3 7:5 9:7 11:9" << "3 2 0 0" << "changed 9, rows 1-2";
    QTest::newRow("a move that would reach past 128 is refused")
        << "move 1-2 128" << "2 9 3 0" << Unchanged << "2 9 3 0" << "refused: 1 past 128";
    QTest::newRow("drop rows 1-2 after the last row")
        << "drop 1-2 129" << "1 2 3 0" << "1:3 3:5 5:7 7:9 126:128 127:1 128:2" << "127 128 1 0" << "changed 9, rows 127-128";
    QTest::newRow("delete the first and shift: A's channel is gone, the fix-up finds one")
        << "delete 1" << "1 9 1 0" << "1:2 2:3 4:5 6:7 8:9 127:128" << "1 8 0 0" << "changed 11, rows 1";
    QTest::newRow("delete with an empty row inside the selection")
        << "delete 3-5" << "2 9 3 0" << "1:1 2:2 4:7 6:9 125:128" << "2 6 0 0" << "changed 8, rows 3";
    QTest::newRow("delete the last channel: B goes to the first other channel")
        << "delete 128" << "2 128 0 0" << "1:1 2:2 3:3 5:5 7:7 9:9" << "2 1 0 0" << "changed 1, rows 128";
    QTest::newRow("clear every channel: both to 1, displays to frequency")
        << "clear 1-128" << "2 9 3 0" << "" << "1 1 0 3" << "changed 7, rows 1-128";
    QTest::newRow("insert is refused while 128 is programmed")
        << "insert 1" << "2 9 3 0" << Unchanged << "2 9 3 0" << "refused: 128 programmed";
    QTest::newRow("insert before the first channel")
        << "clear 128;insert 1" << "2 9 3 0" << "2:1 3:2 4:3 6:5 8:7 10:9" << "3 10 4 0" << "changed 10, rows 1";
    QTest::newRow("insert before the last channel")
        << "clear 128;move 9 127;insert 127" << "9 2 0 0" << "1:1 2:2 3:3 5:5 7:7 128:9" << "128 2 0 0" << "changed 2, rows 127";
    QTest::newRow("move up a block")
        << "up 2-3" << "1 2 3 0" << "1:2 2:3 3:1 5:5 7:7 9:9 128:128" << "3 1 2 0" << "changed 3, rows 1-2";
    QTest::newRow("move up with the first row selected does nothing")
        << "up 1-2" << "1 2 3 0" << Unchanged << "1 2 3 0" << "changed 0, rows ";
    QTest::newRow("move up rows apart, an empty one between")
        << "up 3,5" << "2 9 3 0" << "1:1 2:3 3:2 4:5 7:7 9:9 128:128" << "3 9 2 0" << "changed 4, rows 2,4";
    QTest::newRow("move down with the last row selected does nothing")
        << "down 9,128" << "2 9 3 0" << Unchanged << "2 9 3 0" << "changed 0, rows ";
    QTest::newRow("move down")
        << "down 9" << "2 9 3 0" << "1:1 2:2 3:3 5:5 7:7 10:9 128:128" << "2 10 3 0" << "changed 2, rows 10";
    QTest::newRow("sort all by receive frequency, empty channels after")
        << "sort rx" << "2 128 9 0" << "1:2 2:5 3:128 4:9 5:3 6:1 9:7" << "1 3 4 0" << "changed 9, rows 1-128";
    QTest::newRow("sort rows 1-9 by name, unnamed last")
        << "sort name 1-9" << "2 9 5 0" << "1:2 2:9 3:1 4:3 5:5 8:7 128:128" << "1 2 5 0" << "changed 7, rows 1-9";
    QTest::newRow("sort by receive tone in the order of the tone list")
        << "sort tone 1-128" << "2 9 3 0" << "1:2 2:5 3:3 4:1 5:9 6:128 9:7" << "1 5 3 0" << "changed 8, rows 1-128";
    QTest::newRow("pack closes every gap")
        << "pack" << "9 128 5 0" << "1:1 2:2 3:3 4:5 5:9 6:128 9:7" << "5 6 4 0" << "changed 6, rows 1-6";
    QTest::newRow("paste rows 1-3 onto 20-22")
        << "paste 20 1-3" << "2 9 3 0" << "1:1 2:2 3:3 5:5 7:7 9:9 20:1 21:2 22:3 128:128" << "2 9 3 0"
        << "changed 3, rows 20-22";
    QTest::newRow("paste over B's and the priority channel")
        << "paste 8 1-3" << "2 9 9 0" << "1:1 2:2 3:3 5:5 7:7 8:1 9:2 10:3 128:128" << "2 1 0 0"
        << "changed 3, rows 8-10";
    QTest::newRow("a paste past 128 is refused whole")
        << "paste 127 1-3" << "2 9 3 0" << Unchanged << "2 9 3 0" << "refused: 1 past 128";
    QTest::newRow("a priority byte above 128 counts modulo 129")
        << "move 3 1" << "2 9 132 0" << "1:3 2:1 3:2 5:5 7:7 9:9 128:128" << "3 9 1 0" << "changed 3, rows 1";
}

void TestChannelOps::rearrange()
{
    QFETCH(QString, ops);
    QFETCH(QString, pointers);
    RadioImage image = fixture(pointers);
    const RadioImage before = image;
    ChannelOutcome outcome;
    for (const QString& op : ops.split(';'))
        outcome = run(image, op);
    QTEST(layoutOf(image), "layout");
    QTEST(pointersOf(image), "pointersAfter");
    QTEST(outcomeOf(outcome), "outcome");
    // Nothing outside the channels and the bytes that point at them changes.
    for (int offset = 0; offset < RadioImage::Size; ++offset) {
        const bool channelBytes = offset >= layout::regionOffset(layout::Channels)
            && offset < layout::regionOffset(layout::Vfo);
        const int functionByte = offset - layout::dataOffset(layout::FunctionSettings);
        const bool pointerByte = functionByte == fn::CurrentChannelA || functionByte == fn::CurrentChannelB
            || functionByte == PriorityByte || functionByte == fn::ChannelDisplayA || functionByte == fn::ChannelDisplayB;
        if (!channelBytes && !pointerByte && image.bytes()[offset] != before.bytes()[offset])
            QFAIL(qPrintable(QStringLiteral("image byte %1 changed").arg(offset)));
    }
}

void TestChannelOps::fill_data()
{
    QTest::addColumn<QString>("rows");
    QTest::addColumn<QString>("plan");  // start MHz, step kHz, [offset MHz], [tx tone]
    QTest::addColumn<QString>("shown");  // the rows afterwards, as the page shows them
    QTest::addColumn<bool>("adjusted");

    QTest::newRow("a run over an empty row and a programmed one")
        << "4-6" << "446.00625 12.5"
        << "4|446.00625|446.00625|OFF|OFF|High|Five|Narrow|Narrow|OFF|;"
           "5|446.01875|446.01875|OFF|OFF|High|Five|Narrow|Narrow|OFF|;"
           "6|446.03125|446.03125|OFF|OFF|High|Five|Narrow|Narrow|OFF|"
        << false;
    QTest::newRow("offset and tone; a programmed row keeps name and receive tone")
        << "9-10" << "438.65 25 -7.6 88.5"
        << "9|438.65000|431.05000|88.5|88.5|High|Five|Narrow|Narrow|OFF|CALL;"
           "10|438.67500|431.07500|OFF|88.5|High|Five|Narrow|Narrow|OFF|"
        << false;
    QTest::newRow("the last two channels up to the top of the range")
        << "127-128" << "600.975 12.5"
        << "127|600.97500|600.97500|OFF|OFF|High|Five|Narrow|Narrow|OFF|;"
           "128|600.98750|600.98750|DN023|OFF|High|Five|Narrow|Narrow|OFF|LAST"
        << false;
    QTest::newRow("one past 600.99999 MHz refuses the whole fill")
        << "126-128" << "600.975 12.5" << "refused" << false;
    QTest::newRow("an offset below 100 MHz refuses")
        << "1" << "104 12.5 -5" << "refused" << false;
    QTest::newRow("band option cleared where the channel can no longer transmit")
        << "3" << "150 0" << "3|150.00000|150.00000|67.0|67.0|High|Five|Narrow|Narrow|OFF|RPT" << true;
}

void TestChannelOps::fill()
{
    QFETCH(QString, rows);
    QFETCH(QString, plan);
    RadioImage image = fixture("2 9 3 0");
    // Channel 3 has its band option on (its transmit frequency lies in a window).
    std::uint8_t* three = image.channelSlot(2).data();
    writeLe16(three + ch::OptionsB, readLe16(three + ch::OptionsB) | 0x1000);
    const RadioImage before = image;

    const QStringList p = plan.split(' ');
    auto tenHz = [](const QString& mhz) { return std::llround(mhz.toDouble() * 100000); };
    FillPlan fill;
    fill.start = tenHz(p[0]);
    fill.step = std::llround(p[1].toDouble() * 100);
    if (p.size() > 2)
        fill.offset = tenHz(p[2]);
    if (p.size() > 3)
        fill.txTone = ToneTextToCode(p[3].toStdString(), true, "OFF");
    const ChannelOutcome outcome = FillFrequencies(image, rowsOf(rows), fill, words());

    QStringList shown;
    for (int row : rowsOf(rows)) {
        QStringList cells;
        for (const std::string& cell : ChannelRowTexts(image, row, words()))
            cells << QString::fromStdString(cell);
        shown << cells.join('|');
    }
    QTEST(outcome.refused() ? QString("refused") : shown.join(';'), "shown");
    QTEST(outcome.adjusted, "adjusted");
    if (outcome.refused())
        QVERIFY(image == before);
    // What no column shows stays with a programmed channel that was filled.
    for (int row : rowsOf(rows)) {
        if (before.channelInUse(row)) {
            QCOMPARE(ReadChannel(image, row).extension, ReadChannel(before, row).extension);
            QCOMPARE(readLe16(image.channelSlot(row).data() + ch::OptionsA) & 0x0FF0,
                     readLe16(before.channelSlot(row).data() + ch::OptionsA) & 0x0FF0);
        }
    }
}

void TestChannelOps::setColumn_data()
{
    QTest::addColumn<QString>("rows");
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("shown");  // that column of the rows afterwards
    QTest::addColumn<QString>("outcome");  // changed / skipped / adjusted, or refused

    QTest::newRow("power for ten rows, the empty ones skipped")
        << "1-10" << int(ColPower) << "Low" << "Low,Low,Low,,Low,,,,Low," << "5/5/0";
    QTest::newRow("receive tone for rows apart")
        << "2,9,128" << int(ColRxTone) << "DN023" << "DN023,DN023,DN023" << "2/0/0";
    QTest::newRow("band option on for channels that may transmit")
        << "2,3,9" << int(ColBandLimited) << "Wide" << "Wide,Wide,Wide" << "3/0/0";
    QTest::newRow("band option on a channel outside the transmit windows is cleared")
        << "1" << int(ColBandLimited) << "Wide" << "Narrow" << "0/0/1";
    QTest::newRow("a text the column does not offer is refused")
        << "1-3" << int(ColPower) << "Narrow" << "High,High,High" << "refused";
}

void TestChannelOps::setColumn()
{
    QFETCH(QString, rows);
    QFETCH(int, column);
    QFETCH(QString, text);
    RadioImage image = fixture("2 9 3 0");
    // Channel 1 transmits outside the transmit windows.
    writeLe32(image.channelSlot(0).data() + ch::TxFrequency, 0x15000000);
    const RadioImage before = image;
    const ChannelOutcome outcome = SetChannelColumn(image, rowsOf(rows), column, text.toStdString(), words());

    QStringList shown;
    for (int row : rowsOf(rows))
        shown << QString::fromStdString(ChannelRowTexts(image, row, words())[column]);
    QTEST(shown.join(','), "shown");
    QTEST(outcome.refused() ? QString("refused")
                            : QStringLiteral("%1/%2/%3").arg(outcome.changed).arg(outcome.skipped).arg(int(outcome.adjusted)),
          "outcome");
    // Only that one field changed: the texts of every other column are as they were.
    for (int row = 0; row < layout::ChannelCount; ++row) {
        ChannelRow now = ChannelRowTexts(image, row, words());
        ChannelRow was = ChannelRowTexts(before, row, words());
        now[column] = was[column];
        QCOMPARE(now, was);
        QCOMPARE(ReadChannel(image, row).extension, ReadChannel(before, row).extension);
    }
}

void TestChannelOps::duplicatesAndFind()
{
    const RadioImage image = fixture("2 9 3 0");
    const std::vector<DuplicateGroup> groups = FindDuplicates(image);
    QCOMPARE(groups.size(), std::size_t(2));
    QCOMPARE(groups[0].kind, DuplicateGroup::SameFrequencyAndTones);
    QCOMPARE(groups[0].rows, (std::vector<int>{1, 4}));
    QCOMPARE(groups[1].kind, DuplicateGroup::SameName);
    QCOMPARE(groups[1].rows, (std::vector<int>{1, 8}));

    // Forward from channel 9 goes round past 128 to channel 2; backwards from the first
    // channel goes round to the last.
    QCOMPARE(FindChannelText(image, words(), "call", -1, false), 1);
    QCOMPARE(FindChannelText(image, words(), "call", 1, false), 8);
    QCOMPARE(FindChannelText(image, words(), "call", 8, false), 1);
    QCOMPARE(FindChannelText(image, words(), "DN0", 0, true), 127);
    QCOMPARE(FindChannelText(image, words(), "431.05", 0, false), 2);
    QCOMPARE(FindChannelText(image, words(), "nowhere", 0, false), -1);
}

QTEST_APPLESS_MAIN(TestChannelOps)
#include "tst_channel_ops.moc"
