// Channels from elsewhere: names kept distinct (from each other and from the channels that
// stay), each placement of an import with what it replaces and what points at channels,
// frequencies the radio cannot use and the user's choice for them, the column names of
// repeater directory exports, and a YAML channel without a transmit line.
#include "exchange/ChannelCsv.h"
#include "exchange/ChannelImport.h"
#include "exchange/ExchangeRules.h"
#include "exchange/TextForm.h"
#include "radio/Bytes.h"
#include "radio/ChannelRecord.h"
#include "radio/RadioImage.h"

#include <QtTest>

using namespace tarn;

namespace {

void program(RadioImage& image, int number, const std::string& rx, const std::string& name)
{
    const ChannelWords& w = ExchangeWords();
    ChannelRow row;
    row[ColRxFrequency] = rx;
    ApplyFrequencyEdit(row, FrequencyEditMode::NewChannel, w);
    row[ColName] = name;
    StoreChannelRow(image, number - 1, row, w);
}

ChannelRow shown(const RadioImage& image, int number)
{
    return ChannelRowTexts(image, number - 1, ExchangeWords());
}

// Channels 1-3 and 10 programmed, A on channel 2, B on channel 10.
RadioImage fourChannels()
{
    RadioImage image;
    image.resetToDefaults();
    program(image, 1, "145.50000", "ONE");
    program(image, 2, "145.52500", "TWO");
    program(image, 3, "145.55000", "THREE");
    program(image, 10, "433.50000", "TEN");
    image.functionData()[layout::functions::CurrentChannelA] = 2;
    image.functionData()[layout::functions::CurrentChannelB] = 10;
    return image;
}

QStringList split(const QString& text)
{
    return text.isEmpty() ? QStringList() : text.split(' ');
}

}  // namespace

class TestChannelImport : public QObject {
    Q_OBJECT

private slots:
    void namesStayDistinct_data()
    {
        QTest::addColumn<QString>("given");     // blank-separated; "-" for an empty name
        QTest::addColumn<QString>("existing");  // names of channels that stay, row by row from 0
        QTest::addColumn<QString>("names");

        QTest::newRow("three of one name") << "WW7SEA WW7SEA WW7SEA" << "" << "WW7SEA WW7SE2 WW7SE3";
        QTest::newRow("a name a channel that stays has") << "WW7SEA" << "X WW7SEA" << "WW7SE2";
        QTest::newRow("a number someone else was given") << "WW7SEA WW7SEA WW7SE2" << ""
                                                         << "WW7SEA WW7SE3 WW7SE2";
        QTest::newRow("short names take the number at their end") << "RPT RPT" << "" << "RPT RPT2";
        QTest::newRow("long names that stay apart when cut") << "RPTNORTH RPTSOUTH" << "" << "RPTNOR RPTSOU";
        QTest::newRow("long names that would meet keep their end") << "REPEATER1 REPEATER2" << ""
                                                                   << "REPEA1 REPEA2";
        QTest::newRow("the distinguishing end of longer ends") << "WW7SEANORTH WW7SEASOUTH" << ""
                                                               << "WW7NTH WW7STH";
        QTest::newRow("a cut that is a staying channel's name") << "REPEATER1" << "REPEAT" << "REPER1";
        QTest::newRow("a cut that is another imported name") << "REPEAT REPEATER1" << "" << "REPEAT REPER1";
        QTest::newRow("the same long name twice") << "KILLARNEY KILLARNEY" << "" << "KILLAR KILLA2";
        QTest::newRow("empty names stay empty") << "- -" << "" << "- -";
    }
    void namesStayDistinct()
    {
        QFETCH(QString, given);
        QFETCH(QString, existing);
        std::vector<std::string> in;
        for (const QString& name : split(given))
            in.push_back(name == "-" ? std::string() : name.toStdString());
        std::map<std::string, int> staying;
        int row = 0;
        for (const QString& name : split(existing))
            staying.emplace(name.toStdString(), row++);
        QStringList out;
        for (const DistinctName& name : DistinctNames(in, staying))
            out << (name.name.empty() ? QStringLiteral("-") : QString::fromStdString(name.name));
        QTEST(out.join(' '), "names");
    }

    void eachPlacementPutsWholeChannelsAndSaysWhatItReplaces_data()
    {
        QTest::addColumn<int>("mode");
        QTest::addColumn<int>("first");        // FromChannel: 1-based
        QTest::addColumn<QString>("rows");     // where the three arrive, 1-based
        QTest::addColumn<QString>("replaced");
        QTest::addColumn<int>("pastEnd");
        QTest::addColumn<QString>("programmed");  // afterwards
        QTest::addColumn<int>("currentA");

        QTest::newRow("after the last programmed channel") << int(PlaceMode::AfterLast) << 0 << "11 12 13" << ""
                                                           << 0 << "1 2 3 10 11 12 13" << 2;
        QTest::newRow("from channel 2") << int(PlaceMode::FromChannel) << 2 << "2 3 4" << "2 3" << 0
                                        << "1 2 3 4 10" << 1;
        QTest::newRow("replace all channels") << int(PlaceMode::ReplaceAll) << 0 << "1 2 3" << "1 2 3 10" << 0
                                              << "1 2 3" << 1;
        QTest::newRow("on their locations") << int(PlaceMode::AtLocations) << 0 << "5 2 40" << "2" << 0
                                            << "1 2 3 5 10 40" << 2;
        QTest::newRow("past channel 128") << int(PlaceMode::FromChannel) << 127 << "127 128" << "" << 1
                                          << "1 2 3 10" << 2;
    }
    void eachPlacementPutsWholeChannelsAndSaysWhatItReplaces()
    {
        QFETCH(int, mode);
        QFETCH(int, first);
        QFETCH(QString, rows);
        QFETCH(QString, replaced);
        QFETCH(int, pastEnd);
        RadioImage image = fourChannels();
        const RadioImage before = image;

        // Three channels with bytes of their own where no column shows them.
        IncomingChannels incoming;
        const int locations[] = {5, 2, 40};
        for (int k = 0; k < 3; ++k) {
            RadioImage source;
            program(source, 1, "446.00625", "IN" + std::to_string(k));
            StoredChannel channel = ReadChannel(source, 0);
            channel.extension[12] = static_cast<std::uint8_t>(0xA0 + k);
            incoming.channels.push_back({channel, k + 2, locations[k], "IN" + std::to_string(k)});
        }
        ImportChoices choices;
        choices.placement = {PlaceMode(mode), first - 1};
        const ImportPlan plan = PlanImport(image, incoming, choices);

        QStringList planned;
        for (const PlannedChannel& c : plan.channels)
            if (c.row >= 0)
                planned << QString::number(c.row + 1);
        QCOMPARE(planned.join(' '), rows);
        QStringList overwritten;
        for (int row : plan.overwritten)
            overwritten << QString::number(row + 1);
        QCOMPARE(overwritten.join(' '), replaced);
        QCOMPARE(plan.pastEnd, pastEnd);

        const ChannelOutcome outcome = ApplyImport(image, incoming, plan);
        QCOMPARE(outcome.refused(), pastEnd > 0);
        if (pastEnd > 0)
            QVERIFY(image == before);
        QStringList programmed;
        for (int i = 0; i < layout::ChannelCount; ++i)
            if (image.channelInUse(i))
                programmed << QString::number(i + 1);
        QTEST(programmed.join(' '), "programmed");
        for (std::size_t k = 0; k < plan.channels.size() && !outcome.refused(); ++k)
            if (plan.channels[k].row >= 0)
                QVERIFY(ReadChannel(image, plan.channels[k].row) == incoming.channels[k].channel);
        QTEST(int(image.functionData()[layout::functions::CurrentChannelA]), "currentA");
    }

    void unusableFrequenciesAreFlaggedAndTheUserDecides_data()
    {
        QTest::addColumn<int>("choice");
        QTest::addColumn<QString>("arriving");  // rx/tx of the channels that arrive
        QTest::addColumn<QString>("flags");     // per incoming channel

        // Limits 136-174 and 400-480 both ways: 145.5 is fine, 462.5625 lies outside the
        // transmit windows, 520.0 outside everything, 178.0 transmit outside the limits.
        QTest::newRow("as they are") << int(UnusableChoice::AsIs)
                                     << "145.50000/145.50000 462.56250/462.56250 520.00000/520.00000 150.00000/178.00000"
                                     << "0 4 7 6";
        QTest::newRow("as receive only") << int(UnusableChoice::ReceiveOnly)
                                         << "145.50000/145.50000 462.56250/ 150.00000/" << "0 4 7 6";
        QTest::newRow("skipped") << int(UnusableChoice::Skip) << "145.50000/145.50000" << "0 4 7 6";
    }
    void unusableFrequenciesAreFlaggedAndTheUserDecides()
    {
        QFETCH(int, choice);
        RadioImage image;
        image.resetToDefaults();
        using namespace layout::limits;
        for (auto [low, high] : {std::pair{RxLow1, RxHigh1}, std::pair{TxLow1, TxHigh1}})
            SetBandLimitMHz(image, low, 136), SetBandLimitMHz(image, high, 174);
        for (auto [low, high] : {std::pair{RxLow2, RxHigh2}, std::pair{TxLow2, TxHigh2}})
            SetBandLimitMHz(image, low, 400), SetBandLimitMHz(image, high, 480);

        const IncomingChannels incoming = ReadCsvChannels(
            "Frequency,Transmit Frequency\n145.5,\n462.5625,\n520,\n150,178\n");
        QVERIFY(incoming.problems.empty());
        ImportChoices choices;
        choices.unusable = UnusableChoice(choice);
        const ImportPlan plan = PlanImport(image, incoming, choices);
        QStringList flags;
        for (const PlannedChannel& c : plan.channels)
            flags << QString::number(c.flags);
        QTEST(flags.join(' '), "flags");

        ApplyImport(image, incoming, plan);
        QStringList arriving;
        for (int i = 0; i < layout::ChannelCount; ++i)
            if (image.channelInUse(i))
                arriving << QString::fromStdString(shown(image, i + 1)[ColRxFrequency] + "/" + shown(image, i + 1)[ColTxFrequency]);
        QTEST(arriving.join(' '), "arriving");
    }

    void repeaterDirectoryColumnsAreRead_data()
    {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<QString>("channel");  // rx tx rxTone txTone name of the one row

        QTest::newRow("output, input, tones, callsign, place")
            << QByteArray("Output Freq,Input Freq,Offset,Uplink Tone,Downlink Tone,Call,Location\n"
                          "145.7000,145.1000,-0.6,88.5,,GB3AB,Town Hill\n")
            << "145.70000 145.10000 Off 88.5 GB3AB";
        QTest::newRow("a signed offset without an input frequency")
            << QByteArray("Frequency,Offset,PL,Callsign\n442.1, +5.000 MHz ,D023N,W1XYZ\n")
            << "442.10000 447.10000 Off DN023 W1XYZ";
        QTest::newRow("DCS both ways, inverted")
            << QByteArray("Output Frequency (MHz),Input Frequency (MHz),Uplink Tone,Downlink Tone,Callsign\n"
                          "438.8,431.2,DCS 754I,D754I,VK2RAB\n")
            << "438.80000 431.20000 DI754 DI754 VK2RAB";
        QTest::newRow("the place when there is no callsign")
            << QByteArray("Output,Input,Location\n145.6,145.0,North Ridge\n")
            << "145.60000 145.00000 Off Off NORTHR";
        QTest::newRow("only receive and transmit frequencies")
            << QByteArray("Receive Frequency,Transmit Frequency\n439.1,431.5\n") << "439.10000 431.50000 Off Off ";
        QTest::newRow("rx and tx")
            << QByteArray("RX,TX\n146.52,\n") << "146.52000 146.52000 Off Off ";
    }
    void repeaterDirectoryColumnsAreRead()
    {
        QFETCH(QByteArray, csv);
        const IncomingChannels incoming = ReadCsvChannels(csv.toStdString());
        QVERIFY2(incoming.problems.empty(), incoming.problems.empty() ? "" : incoming.problems[0].reason.c_str());
        QCOMPARE(int(incoming.channels.size()), 1);
        RadioImage image;
        WriteChannel(image, 0, incoming.channels[0].channel);
        const ChannelRow row = shown(image, 1);
        QTEST(QString::fromStdString(row[ColRxFrequency] + " " + row[ColTxFrequency] + " " + row[ColRxTone] + " "
                                     + row[ColTxTone] + " " + row[ColName]),
              "channel");
    }

    void yamlChannelWithoutTransmitLineTransmitsWhereItReceives()
    {
        RadioImage image;
        image.resetToDefaults();
        const TextFormResult result = ImportTextForm("channels:\n  - number: 7\n    receive: 145.5\n", image);
        QVERIFY2(result.ok, result.error.c_str());
        QCOMPARE(shown(image, 7)[ColTxFrequency], std::string("145.50000"));
    }
};

QTEST_MAIN(TestChannelImport)
#include "tst_channel_import.moc"
