// RadioImage: the program's single copy of one radio's memory (5284 bytes): the serial
// port number, the address-tagged block records and a tail without data. All access goes
// through the layout tables of RadioLayout.h.
#pragma once

#include "radio/RadioLayout.h"

#include <array>
#include <cstdint>
#include <span>
#include <vector>

namespace tarn {

// The two passwords a new image carries (function settings data bytes 42-53), one digit
// per byte: the mode-switch password 000000 and the reset password 123456.
inline constexpr std::array<std::uint8_t, 6> DefaultModeSwitchPassword{0, 0, 0, 0, 0, 0};
inline constexpr std::array<std::uint8_t, 6> DefaultResetPassword{1, 2, 3, 4, 5, 6};

using Block64 = std::span<std::uint8_t, layout::BlockDataSize>;
using ConstBlock64 = std::span<const std::uint8_t, layout::BlockDataSize>;
using Slot16 = std::span<std::uint8_t, layout::ChannelSlotSize>;
using ConstSlot16 = std::span<const std::uint8_t, layout::ChannelSlotSize>;

// One block record of the image: its radio address comes from its own header bytes.
// Every accessor that takes an index (record, chunk, channel, band limit) checks it in every
// build and throws std::out_of_range for one outside the image.
class BlockRef {
public:
    BlockRef(std::uint8_t* imageBytes, layout::RegionId region, int record);

    layout::RegionId region() const { return m_region; }
    int record() const { return m_record; }
    std::uint8_t addressHigh() const { return m_header[0]; }
    std::uint8_t addressLow() const { return m_header[1]; }
    std::uint16_t address() const;
    // Radio address of 16-byte chunk k (0-3): a 16-bit sum, the carry going into the high byte.
    std::uint16_t chunkAddress(int k) const;
    int chunksWritten() const;
    Block64 data() const { return Block64(m_data, layout::BlockDataSize); }
    std::span<std::uint8_t, layout::ChunkSize> chunk(int k) const;

private:
    std::uint8_t* m_header;
    std::uint8_t* m_data;
    layout::RegionId m_region;
    int m_record;
};

enum class Band { A, B };

class RadioImage {
public:
    static constexpr int Size = layout::ImageSize;

    RadioImage();

    // The contents of a new image; also sets the port number back to 1.
    void resetToDefaults();

    std::uint8_t* data() { return m_bytes.data(); }
    const std::uint8_t* data() const { return m_bytes.data(); }
    std::array<std::uint8_t, Size>& bytes() { return m_bytes; }
    const std::array<std::uint8_t, Size>& bytes() const { return m_bytes; }
    bool operator==(const RadioImage& other) const { return m_bytes == other.m_bytes; }
    // Equal in what the user edits and a file keeps: everything but the port number, the
    // radio's own band limits and the scratch block and tail.
    bool sameSettings(const RadioImage& other) const;

    std::int32_t portNumber() const;
    void setPortNumber(std::int32_t port);

    BlockRef block(layout::RegionId region, int record = 0);
    // The blocks a read fills, in transfer order: 32 channel records, 32 extension
    // records, VFO, function settings, offsets, start-up text.
    std::vector<BlockRef> readOrder();

    // Channel i (0-127): its 16 bytes in the channel and the extension region.
    Slot16 channelSlot(int i);
    ConstSlot16 channelSlot(int i) const;
    Slot16 extensionSlot(int i);
    ConstSlot16 extensionSlot(int i) const;
    // A channel is in use when its receive frequency is a programmed frequency word.
    bool channelInUse(int i) const;

    // The band (VFO) records of the A and B band: 16 bytes each in the VFO block.
    Slot16 bandRecord(Band band);
    ConstSlot16 bandRecord(Band band) const;

    Block64 vfoData() { return regionData(layout::Vfo); }
    Block64 bandLimitData() { return regionData(layout::BandLimits); }
    Block64 functionData() { return regionData(layout::FunctionSettings); }
    Block64 offsetData() { return regionData(layout::Offsets); }
    Block64 startupTextData() { return regionData(layout::StartupText); }
    Block64 scratchData() { return regionData(layout::Scratch); }
    ConstBlock64 vfoData() const { return constRegionData(layout::Vfo); }
    ConstBlock64 bandLimitData() const { return constRegionData(layout::BandLimits); }
    ConstBlock64 functionData() const { return constRegionData(layout::FunctionSettings); }
    ConstBlock64 offsetData() const { return constRegionData(layout::Offsets); }
    ConstBlock64 startupTextData() const { return constRegionData(layout::StartupText); }
    ConstBlock64 scratchData() const { return constRegionData(layout::Scratch); }

    // Band limit k (layout::limits::Index) as stored (big-endian) and in whole MHz.
    std::uint16_t bandLimitRaw(int k) const;
    int bandLimitMHz(int k) const;

private:
    Block64 regionData(layout::RegionId region, int record = 0);
    ConstBlock64 constRegionData(layout::RegionId region, int record = 0) const;

    std::array<std::uint8_t, Size> m_bytes{};
};

// A 16-bit value written as hexadecimal digits (no leading zeros) and read back as a
// decimal number, stopping at the first digit that is not 0-9: 0x0136 -> 136, 0x01A0 -> 1.
int hexDigitsAsDecimal(std::uint16_t value);

}  // namespace tarn
