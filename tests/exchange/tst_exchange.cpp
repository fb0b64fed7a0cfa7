// The exchange of configurations with the world: CSV channels out and back in, the CSV
// reader's tolerances and refusals, the YAML text form to the byte, and the difference lines
// verify and diff print.
#include "exchange/TextForm.h"
#include "radio/Bytes.h"
#include "exchange/ChannelCsv.h"
#include "radio/ChannelRecord.h"
#include "exchange/ExchangeRules.h"
#include "radio/ImageDiff.h"
#include "radio/RadioImage.h"
#include "radio/SettingsTable.h"

#include <QtTest>

using namespace tarn;
using namespace tarn::layout;

namespace {

// Channel number (1-based) and its row texts in the exchange words; the rest by default.
void program(RadioImage& image, int number, const std::string& rx, const std::string& tx, const std::string& rxTone,
             const std::string& txTone, bool low = false, bool narrow = false, bool skip = false,
             const std::string& name = {})
{
    const ChannelWords& w = ExchangeWords();
    ChannelRow row;
    row[ColRxFrequency] = rx;
    ApplyFrequencyEdit(row, FrequencyEditMode::NewChannel, w);
    row[ColTxFrequency] = tx;
    row[ColRxTone] = rxTone;
    row[ColTxTone] = txTone;
    row[ColPower] = low ? w.lowPower : w.highPower;
    row[ColBandwidth] = narrow ? w.optionOn : w.optionOff;
    row[ColChoice6] = skip ? w.choice6Bit0 : w.choice6Bit1;
    row[ColName] = name;
    StoreChannelRow(image, number - 1, row, w);
}

// Every way a channel's duplex and tones can be spelt in CSV.
RadioImage varied()
{
    RadioImage image;
    program(image, 1, "145.50000", "145.50000", "Off", "Off");
    program(image, 2, "145.70000", "145.10000", "Off", "88.5", false, false, false, "RPT1");
    program(image, 3, "433.50000", "438.50000", "67.0", "67.0", true, true);
    program(image, 4, "438.80000", "431.20000", "DI023", "DN023");
    program(image, 5, "145.00000", "435.00000", "DN754", "100.0");
    program(image, 6, "446.00625", "", "71.9", "Off");
    program(image, 7, "145.25000", "145.25000", "88.5", "DI754");
    program(image, 8, "145.27500", "145.27500", "100.0", "88.5");
    program(image, 9, "145.30000", "145.30000", "DN754", "DN023");
    program(image, 10, "145.32500", "145.32500", "Off", "DN023", false, true, true, "ABC123");
    program(image, 128, "600.00000", "100.00000", "254.1", "DI645");
    return image;
}

ChannelRow shown(const RadioImage& image, int number)
{
    return ChannelRowTexts(image, number - 1, ExchangeWords());
}

}  // namespace

class ExchangeTest : public QObject {
    Q_OBJECT

private slots:
    void csvExportReadsBackIntoTheSameChannels()
    {
        const RadioImage original = varied();
        RadioImage target;
        program(target, 100, "146.00000", "146.00000", "Off", "Off");  // not in the file: stays
        const RadioImage before = target;

        const CsvImportResult result = ImportChannelsCsv(ExportChannelsCsv(original), target, false);

        QVERIFY(result.problems.empty());
        QVERIFY(result.applied);
        QCOMPARE(int(result.channels.size()), ProgrammedChannelCount(original));
        for (int n = 1; n <= ChannelCount; ++n) {
            if (n == 100) {
                QVERIFY(std::equal(target.channelSlot(99).begin(), target.channelSlot(99).end(),
                                   before.channelSlot(99).begin()));
                continue;
            }
            QCOMPARE(target.channelInUse(n - 1), original.channelInUse(n - 1));
            const ChannelRow a = shown(original, n);
            const ChannelRow b = shown(target, n);
            for (int c : {ColRxFrequency, ColTxFrequency, ColRxTone, ColTxTone, ColPower, ColChoice6, ColBandwidth, ColName})
                QVERIFY2(a[c] == b[c], qPrintable(QString("channel %1 column %2: %3 / %4")
                                                      .arg(n).arg(c).arg(a[c].c_str(), b[c].c_str())));
        }
    }

    void csvReaderToleratesAndRefuses_data()
    {
        QTest::addColumn<QByteArray>("csv");
        QTest::addColumn<bool>("skipBad");
        QTest::addColumn<int>("problemLine");  // 0: no problem
        QTest::addColumn<QString>("reason");
        QTest::addColumn<int>("channel");      // checked afterwards (0: none)
        QTest::addColumn<QString>("rx");       // its receive frequency, "" for empty
        QTest::addColumn<QString>("more");     // "column=text" of the same channel, or ""

        QTest::newRow("mark, comment, any order, quotes, unknown column")
            << QByteArray("\xEF\xBB\xBF# from another tool\nFrequency,Name,Location,Whatever\n\"145.6\",\"rpt, a\",10,x\n")
            << false << 0 << "" << 10 << "145.60000" << "10=RPTA";
        QTest::newRow("only Location and Frequency") << QByteArray("Location,Frequency\r\n5,446.00625\r\n")
                                                     << false << 0 << "" << 5 << "446.00625" << "2=446.00625";
        QTest::newRow("another tool's seven columns")
            << QByteArray("Location,Name,Frequency,Duplex,Offset,Tone,rToneFreq\n3,rpt,145.7,-,0.6,Tone,88.5\n")
            << false << 0 << "" << 3 << "145.70000" << "4=88.5";
        QTest::newRow("location outside 1-128") << QByteArray("Location,Frequency\n129,145.5\n")
                                                << false << 2 << "outside 1-128" << 0 << "" << "";
        QTest::newRow("tone not in the list") << QByteArray("Location,Frequency,Tone,rToneFreq\n1,145.5,Tone,88.6\n")
                                              << false << 2 << "tone list" << 1 << "" << "";
        QTest::newRow("DCS code not in the list")
            << QByteArray("Location,Frequency,Tone,DtcsCode\n1,145.5,DTCS,024\n") << false << 2 << "tone list" << 1
            << "" << "";
        QTest::newRow("off the channel grid") << QByteArray("Location,Frequency\n1,145.123\n")
                                              << false << 2 << "grid" << 1 << "" << "";
        QTest::newRow("a mode the radio lacks") << QByteArray("Location,Frequency,Mode\n1,145.5,AM\n")
                                                << false << 2 << "FM or NFM" << 1 << "" << "";
        QTest::newRow("no Frequency column") << QByteArray("Location,Name\n1,a\n") << false << 1
                                             << "no Frequency column" << 0 << "" << "";
        QTest::newRow("one bad row stops all") << QByteArray("# c\nLocation,Frequency\n\n1,145.5\n2,99\n")
                                               << false << 5 << "outside 100-600" << 1 << "" << "";
        QTest::newRow("skip-bad keeps the good") << QByteArray("# c\nLocation,Frequency\n\n1,145.5\n2,99\n")
                                                 << true << 5 << "outside 100-600" << 1 << "145.50000" << "";
        // Every row is taken or reported: nothing is swallowed.
        const QByteArray openQuote("Location,Frequency,Comment\n1,145.5,\"never closed\n2,146.5,a\n3,147.5,\"\"\n");
        QTest::newRow("an unclosed quote refuses all") << openQuote << false << 2 << "never closed" << 3 << "" << "";
        QTest::newRow("an unclosed quote, skip-bad") << openQuote << true << 2 << "never closed" << 3 << "147.50000"
                                                     << "";
        QTest::newRow("lone CR line ends") << QByteArray("Location,Frequency\r1,145.5\r2,146.5\r") << false << 0
                                           << "" << 2 << "146.50000" << "";
        QTest::newRow("a polarity named as such")
            << QByteArray("Location,Frequency,Tone,DtcsCode,DtcsPolarity\n1,145.5,DTCS,023,NX\n") << false << 2
            << "DTCS polarity 'NX'" << 0 << "" << "";
        QTest::newRow("control bytes escaped") << QByteArray("Location,Frequency\n\x1b[2J\x07,145.5\n") << false << 2
                                               << "location '\\x1B[2J\\x07'" << 0 << "" << "";
    }
    void csvReaderToleratesAndRefuses()
    {
        QFETCH(QByteArray, csv);
        QFETCH(bool, skipBad);
        QFETCH(int, problemLine);
        QFETCH(QString, reason);
        QFETCH(int, channel);
        QFETCH(QString, rx);
        QFETCH(QString, more);
        RadioImage image;
        const RadioImage before = image;

        const CsvImportResult result = ImportChannelsCsv(csv.toStdString(), image, skipBad);

        if (problemLine == 0) {
            QVERIFY2(result.problems.empty(), result.problems.empty() ? "" : result.problems[0].reason.c_str());
        } else {
            QCOMPARE(int(result.problems.size()), 1);
            QCOMPARE(result.problems[0].line, problemLine);
            QVERIFY2(QString::fromStdString(result.problems[0].reason).contains(reason),
                     result.problems[0].reason.c_str());
            if (!skipBad)
                QVERIFY(image == before);
        }
        if (channel > 0) {
            const ChannelRow row = shown(image, channel);
            QCOMPARE(QString::fromStdString(row[ColRxFrequency]), rx);
            if (!more.isEmpty())
                QCOMPARE(QString::fromStdString(row[more.section('=', 0, 0).toInt()]), more.section('=', 1));
        }
    }

    void clipboardTextCarriesChannelsBothWays()
    {
        const RadioImage original = varied();
        // Rows 1-3 and 11, which is empty: the text lists the programmed ones only.
        const std::string text = ChannelsToClipboardText(original, {0, 1, 2, 10});
        const QStringList lines = QString::fromStdString(text).split('\n', Qt::SkipEmptyParts);
        QCOMPARE(lines.size(), 4);
        QStringList header;
        for (std::string_view column : CsvColumns)
            header << QString::fromUtf8(column.data(), int(column.size()));
        QCOMPARE(lines[0], header.join('\t'));
        QVERIFY(lines[2].startsWith("2\tRPT1\t145.700000\t-\t0.600000\tTone\t88.5"));

        const ClipboardChannels read = ChannelsFromClipboardText(text);
        QVERIFY(read.problems.empty());
        RadioImage target;
        QVERIFY(!PasteChannels(target, 19, read.channels).refused());
        for (int k = 0; k < 3; ++k) {
            const ChannelRow a = shown(original, 1 + k);
            const ChannelRow b = shown(target, 20 + k);
            for (int c : {ColRxFrequency, ColTxFrequency, ColRxTone, ColTxTone, ColPower, ColChoice6, ColBandwidth, ColName})
                QCOMPARE(b[c], a[c]);
        }
    }

    void clipboardTextReadByTheImportRules_data()
    {
        QTest::addColumn<QByteArray>("text");
        QTest::addColumn<int>("problemLine");  // -1: no problem
        QTest::addColumn<QString>("reason");
        QTest::addColumn<QString>("channels");  // receive frequency and name of each channel read

        QTest::newRow("a spreadsheet's tabs, quotes and CR, no Location")
            << QByteArray("Frequency\tName\r\n\"145.6\"\trpt a\r\n446.00625\t\r\n") << -1 << ""
            << "145.60000 RPTA, 446.00625 ";
        QTest::newRow("commas, Location ignored")
            << QByteArray("Location,Name,Frequency\n90,a,145.5\n3,b,145.6\n") << -1 << "" << "145.50000 A, 145.60000 B";
        QTest::newRow("one bad line gives no channels")
            << QByteArray("Frequency\tName\n145.5\tA\n99\tB\n") << 3 << "outside 100-600" << "";
        QTest::newRow("a tone the radio lacks")
            << QByteArray("Frequency,Tone,rToneFreq\n145.5,Tone,88.6\n") << 2 << "tone list" << "";
        QTest::newRow("plain words are not channels") << QByteArray("hello world\n") << 1 << "no Frequency column" << "";
        QTest::newRow("a header alone") << QByteArray("Frequency\n") << 0 << "no channels" << "";
        QByteArray many = "Frequency\n";
        for (int k = 0; k < 129; ++k)
            many += "145.5\n";
        QTest::newRow("more than 128 lines") << many << 130 << "more than 128" << "";
    }
    void clipboardTextReadByTheImportRules()
    {
        QFETCH(QByteArray, text);
        QFETCH(int, problemLine);
        QFETCH(QString, reason);
        const ClipboardChannels read = ChannelsFromClipboardText(text.toStdString());
        if (problemLine < 0) {
            QVERIFY2(read.problems.empty(), read.problems.empty() ? "" : read.problems[0].reason.c_str());
        } else {
            QCOMPARE(int(read.problems.size()), 1);
            QCOMPARE(read.problems[0].line, problemLine);
            QVERIFY2(QString::fromStdString(read.problems[0].reason).contains(reason), read.problems[0].reason.c_str());
        }
        RadioImage image;
        PasteChannels(image, 0, read.channels);
        QStringList channels;
        for (int i = 0; i < int(read.channels.size()); ++i)
            channels << QString::fromStdString(shown(image, i + 1)[ColRxFrequency] + " " + shown(image, i + 1)[ColName]);
        QTEST(channels.join(", "), "channels");
    }

    void textFormReproducesTheBaseToTheByte()
    {
        RadioImage image = varied();
        // What the text form does not carry: unknown option bits, an option the radio ignores,
        // the extension bytes after the name, filler, scratch and tail.
        writeLe16(image.channelSlot(4).data() + channel::OptionsB, 0xFFFF);  // band option, tx outside windows
        image.extensionSlot(1)[9] = 0x42;
        image.data()[recordOffset(Channels, 3) + 2] = 0x99;
        image.data()[RadioImage::Size - 1] = 0x77;
        image.setPortNumber(7);
        const RadioImage base = image;

        const std::string text = ExportTextForm(image);
        RadioImage back = base;
        const TextFormResult result = ImportTextForm(text, back);
        QVERIFY2(result.ok, result.error.c_str());
        QVERIFY(back == base);

        // Onto a new configuration the text form gives the same channels, limits and port.
        RadioImage fresh;
        QVERIFY(ImportTextForm(text, fresh).ok);
        QCOMPARE(ExportTextForm(fresh), text);

        // A changed setting and band reach the bytes through their own rules.
        RadioImage changed = base;
        QVERIFY(ImportTextForm("settings:\n  vox: 3\nbands:\n  B:\n    frequency: 145.5\n", changed).ok);
        QCOMPARE(int(changed.functionData()[settings::FindField("vox")->byte]), 3);
        QCOMPARE(readLe32(changed.bandRecord(Band::B).data() + vfo::RxFrequency), 0x14550000u);
    }

    void badTextFormNamesLineAndColumnAndChangesNothing_data()
    {
        QTest::addColumn<QByteArray>("yaml");
        QTest::addColumn<QString>("error");
        QTest::newRow("broken syntax") << QByteArray("channels:\n  - number: [1\n") << "line 3, column 1: ";
        QTest::newRow("channel 200") << QByteArray("channels:\n  - number: 200\n    receive: 145.5\n")
                                     << "line 2, column 13: number: '200'";
        QTest::newRow("unknown key") << QByteArray("port: 1\nchanels: []\n") << "line 2, column 1: top level: unknown key";
        QTest::newRow("tone not in the list")
            << QByteArray("channels:\n  - number: 1\n    receive: 145.5\n    transmit tone: 88.6\n")
            << "line 4, column 20: transmit tone: '88.6'";
        QTest::newRow("setting entry out of range") << QByteArray("settings:\n  vox: 11\n")
                                                    << "line 2, column 8: vox: '11'";
        QTest::newRow("band offset off its step") << QByteArray("bands:\n  A:\n    step: 5\n    offset: 0.6001\n")
                                                  << "line 4, column 13: offset";
        // Nothing the text holds is dropped: a key twice or a second document is refused.
        QTest::newRow("channels twice") << QByteArray("channels:\n  - number: 1\n    receive: 145.5\nchannels: []\n")
                                        << "line 4, column 1: 'channels' is given twice";
        QTest::newRow("a channel's key twice")
            << QByteArray("channels:\n  - number: 1\n    receive: 145.5\n    receive: 146.5\n")
            << "line 4, column 5: 'receive' is given twice";
        QTest::newRow("a second document") << QByteArray("port: 1\n---\nport: 2\n") << "line 2, column 1: a second document";
    }
    void badTextFormNamesLineAndColumnAndChangesNothing()
    {
        QFETCH(QByteArray, yaml);
        QFETCH(QString, error);
        RadioImage image = varied();
        const RadioImage before = image;
        const TextFormResult result = ImportTextForm(yaml.toStdString(), image);
        QVERIFY(!result.ok);
        QVERIFY2(QString::fromStdString(result.error).startsWith(error), result.error.c_str());
        QVERIFY(image == before);
    }

    void differencesAreNamedByMeaning_data()
    {
        QTest::addColumn<int>("offset");  // image byte changed in the second image (-1: none)
        QTest::addColumn<int>("value");
        QTest::addColumn<QString>("line");
        const RadioImage probe;
        const int rx3 = int(probe.channelSlot(2).data() - probe.data());
        const int name10 = int(probe.extensionSlot(9).data() - probe.data());
        QTest::newRow("equal") << -1 << 0 << "";
        QTest::newRow("a receive frequency") << rx3 + 1 << 0x37 << "Channel 3 Rx freq: 433.50000 in A, 433.53700 in B";
        QTest::newRow("a bit no field shows") << rx3 + channel::OptionsA << 0xF6
                                              << "channels record 1 data byte 44: 0xF7 in A, 0xF6 in B";
        QTest::newRow("the end of a name") << name10 + 5
                                           << 0x0D << "Channel 10 Name: ABC123 in A, ABC12D in B";
    }
    void differencesAreNamedByMeaning()
    {
        QFETCH(int, offset);
        QFETCH(int, value);
        QFETCH(QString, line);
        const RadioImage first = varied();
        RadioImage second = first;
        if (offset >= 0)
            second.data()[offset] = static_cast<std::uint8_t>(value);
        const char* const english[] = {"", "Channel", "High", "Low", "No", "Yes", "", "", "", "", "OFF", "ON", "OFF",
                                       "Carrier", "", "", "", "", "Rx freq", "", "", "", "", "", "", "", "Name"};
        const DiffWords words{[&](int n) { return n < 27 ? std::string(english[n]) : std::string(); }, "in A", "in B"};

        const std::vector<std::string> lines = DescribeDifferences(first, second, words);

        QCOMPARE(int(lines.size()), line.isEmpty() ? 0 : 1);
        if (!line.isEmpty())
            QCOMPARE(QString::fromStdString(lines[0]), line);
    }

    void verifyIgnoresTheBytesAWriteTakesFromTheRadio()
    {
        RadioImage radio = varied();
        RadioImage config = radio;
        config.functionData()[functions::RadioOwned] ^= 0xFF;
        config.startupTextData()[startup::ImageOwned] ^= 0xFF;
        config.vfoData()[40] ^= 0xFF;  // never written
        QVERIFY(ImageAsWritten(config, radio) == radio);
        config.startupTextData()[0] ^= 0xFF;
        QVERIFY(!(ImageAsWritten(config, radio) == radio));
    }
};

QTEST_APPLESS_MAIN(ExchangeTest)
#include "tst_exchange.moc"
