#include "radio/RadioImage.h"

#include "radio/Bytes.h"
#include "radio/Codecs.h"

#include <algorithm>
#include <stdexcept>
#include <string>

namespace tarn {

using namespace layout;

namespace {
// Index checks that stay in every build: a wrong index is reported, never followed outside
// the image.
int checkedIndex(int index, int count, const char* what)
{
    if (index < 0 || index >= count)
        throw std::out_of_range(std::string(what) + " " + std::to_string(index) + " is outside the image");
    return index;
}

int checkedRecordOffset(RegionId region, int record)
{
    checkedIndex(region, RegionCount, "region");
    checkedIndex(record, Regions[region].records, "block record");
    return recordOffset(region, record);
}
}  // namespace

BlockRef::BlockRef(std::uint8_t* imageBytes, RegionId region, int record)
    : m_header(imageBytes + checkedRecordOffset(region, record))
    , m_data(imageBytes + dataOffset(region, record))
    , m_region(region)
    , m_record(record)
{
}

std::uint16_t BlockRef::address() const
{
    return static_cast<std::uint16_t>(m_header[0] * 256 + m_header[1]);
}

std::uint16_t BlockRef::chunkAddress(int k) const
{
    return static_cast<std::uint16_t>(address() + ChunkSize * k);
}

int BlockRef::chunksWritten() const
{
    return Regions[m_region].chunksWritten;
}

std::span<std::uint8_t, ChunkSize> BlockRef::chunk(int k) const
{
    return std::span<std::uint8_t, ChunkSize>(m_data + ChunkSize * checkedIndex(k, BlockDataSize / ChunkSize, "chunk"),
                                              ChunkSize);
}

RadioImage::RadioImage()
{
    resetToDefaults();
}

namespace {

void setHeader(std::uint8_t* bytes, RegionId region, int record, std::uint16_t address)
{
    std::uint8_t* header = bytes + recordOffset(region, record);
    header[0] = static_cast<std::uint8_t>(address >> 8);
    header[1] = static_cast<std::uint8_t>(address & 0xFF);
}

void setRecordHeaders(std::uint8_t* bytes, RegionId region)
{
    const Region& r = Regions[region];
    for (int b = 0; b < r.records; ++b)
        setHeader(bytes, region, b, static_cast<std::uint16_t>(r.baseAddress + r.addressStep * b));
}

template <std::size_t N>
void put(std::uint8_t* dest, const std::array<std::uint8_t, N>& values)
{
    std::copy(values.begin(), values.end(), dest);
}

constexpr std::array<std::uint8_t, 32> VfoDefaults{
    0x00, 0x25, 0x50, 0x37, 0x00, 0x25, 0x50, 0x37, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0xF8, 0xFF, 0xFF,
    0x00, 0x25, 0x60, 0x13, 0x00, 0x25, 0x60, 0x13, 0xFF, 0xFF, 0xFF, 0xFF, 0x00, 0xF8, 0xFF, 0xFF};

constexpr std::array<std::uint8_t, 42> FunctionDefaults{
    0x03, 0x04, 0x05, 0x01, 0x01, 0x00, 0x03, 0x00, 0x01, 0x00, 0x01, 0x00, 0x01, 0x01,
    0x00, 0x01, 0x03, 0x04, 0x00, 0x03, 0x00, 0x01, 0x05, 0x03, 0x00, 0x00, 0x00, 0x04,
    0x01, 0x01, 0x01, 0x02, 0x00, 0x00, 0x05, 0x00, 0x00, 0x01, 0x01, 0x00, 0x00, 0x00};

constexpr std::array<std::uint8_t, 10> FunctionTailDefaults{
    0x01, 0x00, 0x01, 0xFF, 0xFF, 0xFF, 0x07, 0x80, 0x00, 0x01};

constexpr std::array<std::uint8_t, 29> OffsetDefaults{
    0x00, 0x00, 0x00, 0x06, 0x00, 0x00, 0x00, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF,
    0xFF, 0x00, 0x00, 0x00, 0x06, 0x00, 0x00, 0x00, 0x57, 0x45, 0x4C, 0x43, 0x4F, 0x4D};

constexpr std::array<std::uint8_t, 16> BandLimitDefaults{
    0x00, 0x00, 0x99, 0x99, 0x00, 0x00, 0x99, 0x99, 0x00, 0x00, 0x99, 0x99, 0x00, 0x00, 0x99, 0x99};

}  // namespace

void RadioImage::resetToDefaults()
{
    // Bytes that no step below sets (filler, unset data, tail) are zero.
    m_bytes.fill(0);
    std::uint8_t* bytes = m_bytes.data();

    // 1-2. Channel and extension regions: headers, every channel empty.
    for (RegionId region : {Channels, ChannelExtensions}) {
        setRecordHeaders(bytes, region);
        for (int b = 0; b < Regions[region].records; ++b)
            std::fill_n(bytes + dataOffset(region, b), BlockDataSize, 0xFF);
    }

    // 3. VFO block.
    setRecordHeaders(bytes, Vfo);
    std::uint8_t* vfo = bytes + dataOffset(Vfo);
    std::fill_n(vfo, BlockDataSize, 0xFF);
    put(vfo, VfoDefaults);

    // 4. Function settings block, with the two default passwords.
    setRecordHeaders(bytes, FunctionSettings);
    std::uint8_t* functions = bytes + dataOffset(FunctionSettings);
    put(functions, FunctionDefaults);
    put(functions + functions::Passwords, DefaultModeSwitchPassword);
    put(functions + functions::Passwords + functions::PasswordLength, DefaultResetPassword);
    put(functions + functions::AfterPasswords, FunctionTailDefaults);

    // 5. Scratch block: header only.
    setRecordHeaders(bytes, Scratch);

    // 6. Offset block.
    setRecordHeaders(bytes, Offsets);
    std::uint8_t* offsets = bytes + dataOffset(Offsets);
    std::fill_n(offsets, BlockDataSize, 0xFF);
    put(offsets, OffsetDefaults);

    // 7. Start-up text block.
    setRecordHeaders(bytes, StartupText);
    std::fill_n(bytes + dataOffset(StartupText), BlockDataSize, 0xFF);

    // 8. Band-limit block: every range 0 to 9999 MHz.
    setRecordHeaders(bytes, BandLimits);
    put(bytes + dataOffset(BandLimits), BandLimitDefaults);

    // 9. Port number.
    setPortNumber(1);
}

bool RadioImage::sameSettings(const RadioImage& other) const
{
    auto same = [&](RegionId first, RegionId end) {
        return std::equal(m_bytes.begin() + regionOffset(first), m_bytes.begin() + regionOffset(end),
                          other.m_bytes.begin() + regionOffset(first));
    };
    return same(Channels, BandLimits) && same(FunctionSettings, Scratch);
}

std::int32_t RadioImage::portNumber() const
{
    return static_cast<std::int32_t>(readLe32(m_bytes.data() + regionOffset(PortNumber)));
}

void RadioImage::setPortNumber(std::int32_t port)
{
    writeLe32(m_bytes.data() + regionOffset(PortNumber), static_cast<std::uint32_t>(port));
}

BlockRef RadioImage::block(RegionId region, int record)
{
    return BlockRef(m_bytes.data(), region, record);
}

std::vector<BlockRef> RadioImage::readOrder()
{
    std::vector<BlockRef> blocks;
    for (RegionId region : TransferRegions)
        for (int b = 0; b < Regions[region].records; ++b)
            blocks.push_back(block(region, b));
    return blocks;
}

namespace {
int slotOffset(RegionId region, int channel)
{
    checkedIndex(channel, ChannelCount, "channel");
    return dataOffset(region, channel / ChannelsPerRecord) + ChannelSlotSize * (channel % ChannelsPerRecord);
}
}  // namespace

Slot16 RadioImage::channelSlot(int i)
{
    return Slot16(m_bytes.data() + slotOffset(Channels, i), ChannelSlotSize);
}

ConstSlot16 RadioImage::channelSlot(int i) const
{
    return ConstSlot16(m_bytes.data() + slotOffset(Channels, i), ChannelSlotSize);
}

Slot16 RadioImage::extensionSlot(int i)
{
    return Slot16(m_bytes.data() + slotOffset(ChannelExtensions, i), ChannelSlotSize);
}

ConstSlot16 RadioImage::extensionSlot(int i) const
{
    return ConstSlot16(m_bytes.data() + slotOffset(ChannelExtensions, i), ChannelSlotSize);
}

bool RadioImage::channelInUse(int i) const
{
    return IsBcdFrequency(readLe32(channelSlot(i).data() + channel::RxFrequency));
}

Slot16 RadioImage::bandRecord(Band band)
{
    const int offset = band == Band::A ? vfo::BandA : vfo::BandB;
    return Slot16(m_bytes.data() + dataOffset(Vfo) + offset, ChannelSlotSize);
}

ConstSlot16 RadioImage::bandRecord(Band band) const
{
    const int offset = band == Band::A ? vfo::BandA : vfo::BandB;
    return ConstSlot16(m_bytes.data() + dataOffset(Vfo) + offset, ChannelSlotSize);
}

Block64 RadioImage::regionData(RegionId region, int record)
{
    return Block64(m_bytes.data() + dataOffset(region, record), BlockDataSize);
}

ConstBlock64 RadioImage::constRegionData(RegionId region, int record) const
{
    return ConstBlock64(m_bytes.data() + dataOffset(region, record), BlockDataSize);
}

std::uint16_t RadioImage::bandLimitRaw(int k) const
{
    return readBe16(bandLimitData().data() + 2 * checkedIndex(k, limits::Count, "band limit"));
}

int RadioImage::bandLimitMHz(int k) const
{
    return hexDigitsAsDecimal(bandLimitRaw(k));
}

int hexDigitsAsDecimal(std::uint16_t value)
{
    // Hex digits from the most significant non-zero one; "0" for a zero value.
    int digits[4];
    int count = 0;
    for (int shift = 12; shift >= 0; shift -= 4) {
        const int nibble = (value >> shift) & 0xF;
        if (count == 0 && nibble == 0 && shift > 0)
            continue;
        digits[count++] = nibble;
    }
    int result = 0;
    for (int d = 0; d < count; ++d) {
        if (digits[d] > 9)
            break;
        result = result * 10 + digits[d];
    }
    return result;
}

}  // namespace tarn
