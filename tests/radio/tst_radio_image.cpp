// The memory image: region offsets, block radio addresses, chunk addresses, transfer order,
// channel slots, and a new image compared byte for byte with a model built from the reset list.
#include "radio/Bytes.h"
#include "radio/RadioImage.h"

#include <QtTest>

#include <stdexcept>

#include <vector>

using namespace tarn;
using namespace tarn::layout;

Q_DECLARE_METATYPE(tarn::layout::RegionId)

namespace {

// The contents of a new image, written out straight from the reset list with literal
// offsets, so the image code is checked against something it did not produce.
std::vector<std::uint8_t> expectedNewImage()
{
    std::vector<std::uint8_t> m(5284, 0x00);
    auto header = [&m](int at, int address) {
        m[at] = static_cast<std::uint8_t>(address >> 8);
        m[at + 1] = static_cast<std::uint8_t>(address & 0xFF);
    };
    auto put = [&m](int at, std::initializer_list<int> bytes) {
        for (int b : bytes)
            m[at++] = static_cast<std::uint8_t>(b);
    };
    auto fill = [&m](int at, int count, std::uint8_t value) {
        for (int i = 0; i < count; ++i)
            m[at + i] = value;
    };
    // Port number 1, little-endian.
    put(0, {1, 0, 0, 0});
    for (int b = 0; b < 32; ++b) {
        header(4 + 68 * b, 0x0010 + 64 * b);
        fill(4 + 68 * b + 4, 64, 0xFF);
        header(2180 + 66 * b, 0x1010 + 64 * b);
        fill(2180 + 66 * b + 2, 64, 0xFF);
    }
    // VFO at 4292 (68-byte record).
    header(4292, 0x0810);
    fill(4296, 64, 0xFF);
    put(4296, {0x00, 0x25, 0x50, 0x37, 0x00, 0x25, 0x50, 0x37, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0xF8, 0xFF, 0xFF,
               0x00, 0x25, 0x60, 0x13, 0x00, 0x25, 0x60, 0x13, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0xF8, 0xFF, 0xFF});
    // Band limits at 4360.
    header(4360, 0x0970);
    put(4362, {0x00, 0x00, 0x99, 0x99, 0x00, 0x00, 0x99, 0x99, 0x00, 0x00, 0x99, 0x99, 0x00, 0x00, 0x99, 0x99});
    // Function settings at 4426: bytes 0-41, passwords 000000 and 123456, bytes 54-63.
    header(4426, 0x0E20);
    put(4428, {0x03, 0x04, 0x05, 0x01, 0x01, 0x00, 0x03, 0x00, 0x01, 0x00, 0x01, 0x00, 0x01, 0x01,
               0x00, 0x01, 0x03, 0x04, 0x00, 0x03, 0x00, 0x01, 0x05, 0x03, 0x00, 0x00, 0x00, 0x04,
               0x01, 0x01, 0x01, 0x02, 0x00, 0x00, 0x05, 0x00, 0x00, 0x01, 0x01, 0x00, 0x00, 0x00});
    put(4428 + 42, {0, 0, 0, 0, 0, 0, 1, 2, 3, 4, 5, 6});
    put(4428 + 54, {0x01, 0x00, 0x01, 0xFF, 0xFF, 0xFF, 0x07, 0x80, 0x00, 0x01});
    // Offsets at 4492.
    header(4492, 0x1810);
    fill(4494, 64, 0xFF);
    put(4494, {0x00, 0x00, 0x00, 0x06, 0x00, 0x00, 0x00});
    put(4494 + 16, {0x00, 0x00, 0x00, 0x06, 0x00, 0x00, 0x00, 'W', 'E', 'L', 'C', 'O', 'M'});
    // Start-up text at 4558.
    header(4558, 0x0E06);
    fill(4560, 64, 0xFF);
    // Scratch at 4624: header only.
    header(4624, 0x0E20);
    return m;
}

}  // namespace

class TestRadioImage : public QObject {
    Q_OBJECT

private slots:
    void regionsLieWhereFilesAndTransfersExpect_data()
    {
        QTest::addColumn<RegionId>("region");
        QTest::addColumn<int>("offset");
        QTest::addColumn<int>("length");
        QTest::newRow("port number") << PortNumber << 0 << 4;
        QTest::newRow("channels") << Channels << 4 << 2176;
        QTest::newRow("channel extensions") << ChannelExtensions << 2180 << 2112;
        QTest::newRow("VFO") << Vfo << 4292 << 68;
        QTest::newRow("band limits") << BandLimits << 4360 << 66;
        QTest::newRow("function settings") << FunctionSettings << 4426 << 66;
        QTest::newRow("offsets") << Offsets << 4492 << 66;
        QTest::newRow("start-up text") << StartupText << 4558 << 66;
        QTest::newRow("scratch") << Scratch << 4624 << 66;
        QTest::newRow("tail") << Tail << 4690 << 594;
    }
    void regionsLieWhereFilesAndTransfersExpect()
    {
        QFETCH(RegionId, region);
        QFETCH(int, offset);
        QFETCH(int, length);
        QCOMPARE(regionOffset(region), offset);
        QCOMPARE(Regions[region].length, length);
    }

    void imageIs5284Bytes()
    {
        QCOMPARE(ImageSize, 5284);
        QCOMPARE(RadioImage::Size, 5284);
        QCOMPARE(int(sizeof(RadioImage)), 5284);
    }

    void everyBlockCarriesItsRadioAddress_data()
    {
        QTest::addColumn<RegionId>("region");
        QTest::addColumn<int>("record");
        QTest::addColumn<int>("address");
        QTest::addColumn<int>("dataOffset");
        for (int b = 0; b < 32; ++b) {
            QTest::addRow("channel record %d", b) << Channels << b << 0x0010 + 64 * b << 8 + 68 * b;
            QTest::addRow("extension record %d", b) << ChannelExtensions << b << 0x1010 + 64 * b << 2182 + 66 * b;
        }
        QTest::newRow("VFO") << Vfo << 0 << 0x0810 << 4296;
        QTest::newRow("band limits") << BandLimits << 0 << 0x0970 << 4362;
        QTest::newRow("function settings") << FunctionSettings << 0 << 0x0E20 << 4428;
        QTest::newRow("offsets") << Offsets << 0 << 0x1810 << 4494;
        QTest::newRow("start-up text") << StartupText << 0 << 0x0E06 << 4560;
        QTest::newRow("scratch") << Scratch << 0 << 0x0E20 << 4626;
    }
    void everyBlockCarriesItsRadioAddress()
    {
        QFETCH(RegionId, region);
        QFETCH(int, record);
        QFETCH(int, address);
        QFETCH(int, dataOffset);
        RadioImage image;
        BlockRef block = image.block(region, record);
        QCOMPARE(int(block.address()), address);
        QCOMPARE(int(block.data().data() - image.data()), dataOffset);
    }

    void blockAddressComesFromTheHeaderNotThePosition()
    {
        RadioImage image;
        image.data()[4 + 68 * 5] = 0x12;
        image.data()[4 + 68 * 5 + 1] = 0x34;
        QCOMPARE(int(image.block(Channels, 5).address()), 0x1234);
    }

    void chunkAddressCarriesIntoTheHighByte_data()
    {
        QTest::addColumn<RegionId>("region");
        QTest::addColumn<int>("record");
        QTest::addColumn<QList<int>>("chunks");
        QTest::newRow("channel record 0") << Channels << 0 << QList<int>{0x0010, 0x0020, 0x0030, 0x0040};
        QTest::newRow("channel record 3 (carry)") << Channels << 3 << QList<int>{0x00D0, 0x00E0, 0x00F0, 0x0100};
        QTest::newRow("extension record 3 (carry)") << ChannelExtensions << 3 << QList<int>{0x10D0, 0x10E0, 0x10F0, 0x1100};
        QTest::newRow("channel record 31") << Channels << 31 << QList<int>{0x07D0, 0x07E0, 0x07F0, 0x0800};
        QTest::newRow("start-up text") << StartupText << 0 << QList<int>{0x0E06, 0x0E16, 0x0E26, 0x0E36};
    }
    void chunkAddressCarriesIntoTheHighByte()
    {
        QFETCH(RegionId, region);
        QFETCH(int, record);
        QFETCH(QList<int>, chunks);
        RadioImage image;
        BlockRef block = image.block(region, record);
        for (int k = 0; k < 4; ++k)
            QCOMPARE(int(block.chunkAddress(k)), chunks[k]);
    }

    void chunkAddressWrapsAtSixteenBits()
    {
        RadioImage image;
        image.data()[4] = 0xFF;
        image.data()[5] = 0xF0;
        QCOMPARE(int(image.block(Channels, 0).chunkAddress(1)), 0x0000);
    }

    void chunksWrittenPerRegion_data()
    {
        QTest::addColumn<RegionId>("region");
        QTest::addColumn<int>("chunks");
        QTest::newRow("channels") << Channels << 4;
        QTest::newRow("channel extensions") << ChannelExtensions << 4;
        QTest::newRow("VFO: data bytes 0-31") << Vfo << 2;
        QTest::newRow("function settings") << FunctionSettings << 4;
        QTest::newRow("offsets: data bytes 0-31") << Offsets << 2;
        QTest::newRow("start-up text: one chunk") << StartupText << 1;
    }
    void chunksWrittenPerRegion()
    {
        QFETCH(RegionId, region);
        QFETCH(int, chunks);
        RadioImage image;
        QCOMPARE(image.block(region).chunksWritten(), chunks);
    }

    void neverWrittenRegions()
    {
        QCOMPARE(Regions[BandLimits].transfer, Transfer::LimitsOnly);
        QCOMPARE(Regions[Scratch].transfer, Transfer::ScratchOnly);
        QCOMPARE(Regions[PortNumber].transfer, Transfer::None);
        QCOMPARE(Regions[Tail].transfer, Transfer::None);
    }

    void readFillsBlocksInTransferOrder()
    {
        RadioImage image;
        const std::vector<BlockRef> blocks = image.readOrder();
        QCOMPARE(int(blocks.size()), 68);
        for (int b = 0; b < 32; ++b) {
            QCOMPARE(blocks[b].region(), Channels);
            QCOMPARE(int(blocks[b].address()), 0x0010 + 64 * b);
            QCOMPARE(blocks[32 + b].region(), ChannelExtensions);
            QCOMPARE(int(blocks[32 + b].address()), 0x1010 + 64 * b);
        }
        QCOMPARE(blocks[64].region(), Vfo);
        QCOMPARE(blocks[65].region(), FunctionSettings);
        QCOMPARE(blocks[66].region(), Offsets);
        QCOMPARE(blocks[67].region(), StartupText);
        QCOMPARE(int(blocks[67].address()), 0x0E06);
    }

    void channelSlotsFollowFourToARecord_data()
    {
        QTest::addColumn<int>("channel");
        for (int i : {0, 1, 3, 4, 5, 63, 126, 127})
            QTest::addRow("channel %d", i) << i;
    }
    void channelSlotsFollowFourToARecord()
    {
        QFETCH(int, channel);
        RadioImage image;
        QCOMPARE(int(image.channelSlot(channel).data() - image.data()), 8 + 68 * (channel / 4) + 16 * (channel % 4));
        QCOMPARE(int(image.extensionSlot(channel).data() - image.data()), 2182 + 66 * (channel / 4) + 16 * (channel % 4));
        // Radio address of the slot: chunk (channel mod 4) of its record.
        QCOMPARE(int(image.block(Channels, channel / 4).chunkAddress(channel % 4)), 0x0010 + 16 * channel);
        QCOMPARE(int(image.block(ChannelExtensions, channel / 4).chunkAddress(channel % 4)), 0x1010 + 16 * channel);
    }

    void indexOutsideTheImageIsRefused_data()
    {
        QTest::addColumn<int>("what");
        QTest::addColumn<int>("index");
        QTest::newRow("channel 128") << 0 << 128;
        QTest::newRow("channel -1") << 0 << -1;
        QTest::newRow("extension 128") << 1 << 128;
        QTest::newRow("channel record 32") << 2 << 32;
        QTest::newRow("VFO record 1") << 3 << 1;
        QTest::newRow("chunk 4") << 4 << 4;
        QTest::newRow("band limit 8") << 5 << 8;
    }
    void indexOutsideTheImageIsRefused()
    {
        // The checks hold in release builds too: nothing outside the image is touched.
        QFETCH(int, what);
        QFETCH(int, index);
        RadioImage image;
        const RadioImage before = image;
        auto touch = [&] {
            switch (what) {
            case 0: image.channelSlot(index)[0] = 1; break;
            case 1: image.extensionSlot(index)[0] = 1; break;
            case 2: image.block(Channels, index).data()[0] = 1; break;
            case 3: image.block(Vfo, index).data()[0] = 1; break;
            case 4: image.block(Vfo).chunk(index)[0] = 1; break;
            default: (void)image.bandLimitRaw(index); break;
            }
        };
        QVERIFY_THROWS_EXCEPTION(std::out_of_range, touch());
        QVERIFY(image == before);
    }

    void bandRecordsSitInTheVfoBlock()
    {
        RadioImage image;
        QCOMPARE(int(image.bandRecord(Band::A).data() - image.data()), 4296);
        QCOMPARE(int(image.bandRecord(Band::B).data() - image.data()), 4312);
    }

    void fileReadsCoverTheImageUpToTheScratchBlock()
    {
        const int expected[8][2] = {{0, 4}, {4, 2176}, {2180, 2112}, {4292, 68}, {4360, 66}, {4426, 66}, {4492, 66}, {4558, 66}};
        for (int i = 0; i < 8; ++i) {
            QCOMPARE(FileReads[i].offset, expected[i][0]);
            QCOMPARE(FileReads[i].length, expected[i][1]);
        }
        QCOMPARE(FileBodyLoaded, 4624);
    }

    void newImageMatchesTheResetList()
    {
        const RadioImage image;
        const std::vector<std::uint8_t> expected = expectedNewImage();
        for (int i = 0; i < 5284; ++i) {
            if (image.data()[i] != expected[i])
                QFAIL(qPrintable(QStringLiteral("byte %1: image 0x%2, expected 0x%3")
                                     .arg(i)
                                     .arg(image.data()[i], 2, 16, QLatin1Char('0'))
                                     .arg(expected[i], 2, 16, QLatin1Char('0'))));
        }
    }

    void newImageHasNoChannelInUseAndCurrentChannelsOne()
    {
        const RadioImage image;
        for (int i = 0; i < ChannelCount; ++i)
            QVERIFY(!image.channelInUse(i));
        QCOMPARE(int(image.functionData()[functions::CurrentChannelA]), 1);
        QCOMPARE(int(image.functionData()[functions::CurrentChannelB]), 1);
    }

    void resetPutsPortNumberBackToOne()
    {
        RadioImage image;
        image.setPortNumber(7);
        image.channelSlot(0)[0] = 0x00;
        QCOMPARE(image.portNumber(), 7);
        image.resetToDefaults();
        QCOMPARE(image.portNumber(), 1);
        QVERIFY(image == RadioImage());
    }

    void portNumberIsLittleEndianSigned()
    {
        RadioImage image;
        image.setPortNumber(0x01020304);
        QCOMPARE(int(image.data()[0]), 0x04);
        QCOMPARE(int(image.data()[3]), 0x01);
        image.setPortNumber(-2);
        QCOMPARE(image.portNumber(), -2);
    }

    void channelInUseFollowsTheReceiveWord()
    {
        RadioImage image;
        writeLe32(image.channelSlot(5).data(), 0x14550000);
        QVERIFY(image.channelInUse(5));
        writeLe32(image.channelSlot(5).data(), 0x1455000A);
        QVERIFY(!image.channelInUse(5));
    }

    void bandLimitDigitsReadAsDecimal_data()
    {
        QTest::addColumn<int>("raw");
        QTest::addColumn<int>("mhz");
        QTest::newRow("0x0136") << 0x0136 << 136;
        QTest::newRow("0x9999") << 0x9999 << 9999;
        QTest::newRow("0x01A0 stops at A") << 0x01A0 << 1;
        QTest::newRow("0x0000") << 0x0000 << 0;
        QTest::newRow("0x0520") << 0x0520 << 520;
        QTest::newRow("0x0480") << 0x0480 << 480;
        QTest::newRow("0x1000") << 0x1000 << 1000;
        QTest::newRow("0x0A00 no digit") << 0x0A00 << 0;
        QTest::newRow("0x0005") << 0x0005 << 5;
    }
    void bandLimitDigitsReadAsDecimal()
    {
        QFETCH(int, raw);
        QFETCH(int, mhz);
        QCOMPARE(hexDigitsAsDecimal(static_cast<std::uint16_t>(raw)), mhz);
    }

    void bandLimitsAreBigEndian()
    {
        RadioImage image;
        image.bandLimitData()[2] = 0x01;
        image.bandLimitData()[3] = 0x74;
        QCOMPARE(int(image.bandLimitRaw(limits::RxHigh1)), 0x0174);
        QCOMPARE(image.bandLimitMHz(limits::RxHigh1), 174);
        QCOMPARE(image.bandLimitMHz(limits::TxLow2), 0);
        QCOMPARE(image.bandLimitMHz(limits::TxHigh2), 9999);
    }
};

QTEST_APPLESS_MAIN(TestRadioImage)
#include "tst_radio_image.moc"
