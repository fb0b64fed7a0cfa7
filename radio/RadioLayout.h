// The one description of the radio memory image: its regions in order, the two record
// shapes, the radio address in each header and the field offsets inside the blocks.
// Every accessor of RadioImage is derived from these tables; no other file does offset
// arithmetic on the raw image bytes.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string_view>

namespace tarn::layout {

// A block record: two header bytes with the radio address (high, low), optional filler,
// then 64 data bytes.
struct RecordShape {
    int size;        // bytes of one record in the image
    int dataOffset;  // where the 64 data bytes start inside the record
};

inline constexpr RecordShape Record68{68, 4};  // address, 2 filler bytes, data
inline constexpr RecordShape Record66{66, 2};  // address, data

inline constexpr int BlockDataSize = 64;
inline constexpr int ChunkSize = 16;

// How a region travels over the link.
enum class Transfer {
    None,        // never read or written (port number, tail)
    ReadWrite,   // 64-byte reads, `chunksWritten` 16-byte writes per record
    LimitsOnly,  // read with descrambling at the start of a write, never written
    ScratchOnly  // read during a write, never written
};

// What a write takes from the radio before it sends a block.
enum class WriteMerge {
    None,
    RadioOwnedBytes,  // function settings bytes 38-39: from the radio's block (read into Scratch)
    RadioTail         // start-up text: only the first bytes are the image's, the rest as the radio holds them
};

struct Region {
    std::string_view name;
    int length;           // bytes in the image
    int records;          // number of block records (0: no records)
    RecordShape shape;
    std::uint16_t baseAddress;  // radio address of record 0
    std::uint16_t addressStep;  // radio address distance between records
    Transfer transfer;
    int chunksWritten;    // 16-byte chunks written per record (from data byte 0)
    WriteMerge merge;
};

enum RegionId {
    PortNumber,
    Channels,
    ChannelExtensions,
    Vfo,
    BandLimits,
    FunctionSettings,
    Offsets,
    StartupText,
    Scratch,
    Tail,
    RegionCount
};

// The regions are contiguous and in this order, which is also the order a read fills and
// a write sends the ReadWrite regions.
inline constexpr std::array<Region, RegionCount> Regions{{
    {"port number", 4, 0, Record66, 0, 0, Transfer::None, 0, WriteMerge::None},
    {"channels", 32 * 68, 32, Record68, 0x0010, 64, Transfer::ReadWrite, 4, WriteMerge::None},
    {"channel extensions", 32 * 66, 32, Record66, 0x1010, 64, Transfer::ReadWrite, 4, WriteMerge::None},
    {"VFO", 68, 1, Record68, 0x0810, 0, Transfer::ReadWrite, 2, WriteMerge::None},
    {"band limits", 66, 1, Record66, 0x0970, 0, Transfer::LimitsOnly, 0, WriteMerge::None},
    {"function settings", 66, 1, Record66, 0x0E20, 0, Transfer::ReadWrite, 4, WriteMerge::RadioOwnedBytes},
    {"offsets", 66, 1, Record66, 0x1810, 0, Transfer::ReadWrite, 2, WriteMerge::None},
    {"start-up text", 66, 1, Record66, 0x0E06, 0, Transfer::ReadWrite, 1, WriteMerge::RadioTail},
    {"scratch", 66, 1, Record66, 0x0E20, 0, Transfer::ScratchOnly, 0, WriteMerge::None},
    {"tail", 594, 0, Record66, 0, 0, Transfer::None, 0, WriteMerge::None},
}};

// The regions a read fills and a write sends, in transfer order.
constexpr int transferRegionCount()
{
    int n = 0;
    for (const Region& region : Regions)
        n += region.transfer == Transfer::ReadWrite ? 1 : 0;
    return n;
}
constexpr std::array<RegionId, transferRegionCount()> transferRegions()
{
    std::array<RegionId, transferRegionCount()> ids{};
    int n = 0;
    for (int r = 0; r < RegionCount; ++r)
        if (Regions[r].transfer == Transfer::ReadWrite)
            ids[n++] = static_cast<RegionId>(r);
    return ids;
}
inline constexpr auto TransferRegions = transferRegions();

// Every region made of block records, in image order: what a radio's memory holds.
constexpr int blockRegionCount()
{
    int n = 0;
    for (const Region& region : Regions)
        n += region.records > 0 ? 1 : 0;
    return n;
}
constexpr std::array<RegionId, blockRegionCount()> blockRegions()
{
    std::array<RegionId, blockRegionCount()> ids{};
    int n = 0;
    for (int r = 0; r < RegionCount; ++r)
        if (Regions[r].records > 0)
            ids[n++] = static_cast<RegionId>(r);
    return ids;
}
inline constexpr auto BlockRegions = blockRegions();

constexpr int regionOffset(RegionId id)
{
    int offset = 0;
    for (int r = 0; r < id; ++r)
        offset += Regions[r].length;
    return offset;
}

constexpr int imageSize()
{
    return regionOffset(RegionCount);
}

inline constexpr int ImageSize = imageSize();
static_assert(ImageSize == 5284);
static_assert(regionOffset(Channels) == 4);
static_assert(regionOffset(ChannelExtensions) == 2180);
static_assert(regionOffset(Vfo) == 4292);
static_assert(regionOffset(BandLimits) == 4360);
static_assert(regionOffset(FunctionSettings) == 4426);
static_assert(regionOffset(Offsets) == 4492);
static_assert(regionOffset(StartupText) == 4558);
static_assert(regionOffset(Scratch) == 4624);
static_assert(regionOffset(Tail) == 4690);

// Offset of record `record` of a region in the image.
constexpr int recordOffset(RegionId id, int record)
{
    return regionOffset(id) + record * Regions[id].shape.size;
}

// Offset of the first data byte of record `record`.
constexpr int dataOffset(RegionId id, int record = 0)
{
    return recordOffset(id, record) + Regions[id].shape.dataOffset;
}

// The configuration file body holds the image up to (not including) the scratch block,
// loaded as one read per region.
struct FileSpan {
    int offset;
    int length;
};
constexpr std::array<FileSpan, Scratch> fileReads()
{
    std::array<FileSpan, Scratch> spans{};
    for (int r = 0; r < Scratch; ++r)
        spans[r] = {regionOffset(static_cast<RegionId>(r)), Regions[r].length};
    return spans;
}
inline constexpr auto FileReads = fileReads();
inline constexpr int FileBodyLoaded = regionOffset(Scratch);  // 4624

// Channels: 128 of them, four to a 64-byte data area, 16 bytes each in both regions.
inline constexpr int ChannelCount = 128;
inline constexpr int ChannelSlotSize = 16;
inline constexpr int ChannelsPerRecord = BlockDataSize / ChannelSlotSize;

// Fields of a channel slot (channel region).
namespace channel {
inline constexpr int RxFrequency = 0;  // frequency word
inline constexpr int TxFrequency = 4;  // frequency word
inline constexpr int RxTone = 8;       // tone code
inline constexpr int TxTone = 10;      // tone code
inline constexpr int OptionsA = 12;    // 16-bit option word A
inline constexpr int OptionsB = 14;    // 16-bit option word B

// Bits of option word A shown as choice cells; every other bit is carried untouched.
inline constexpr int PowerBit = 13;        // transmit power
inline constexpr int ChoiceBit14 = 14;     // the second choice cell
inline constexpr int BandwidthBit = 12;
inline constexpr int ChoiceBit3 = 3;       // the last choice cell
// Bit of option word B: the band-limited option, kept only inside the transmit windows.
inline constexpr int BandLimitedBit = 12;
}  // namespace channel

// Fields of a channel extension slot.
namespace extension {
inline constexpr int Name = 0;
inline constexpr int NameLength = 6;
// One byte per character: 0-9 are the digits, 10-35 the letters A-Z; any other value ends
// the name, and the bytes after a name hold NameEnd.
inline constexpr int NameLastDigit = 9;
inline constexpr int NameLastLetter = 35;
inline constexpr std::uint8_t NameEnd = 0xFF;
}  // namespace extension

// Every text field of the settings blocks (the passwords, the local ID, the start-up and
// the hidden text) takes six bytes.
inline constexpr int TextFieldLength = 6;

// Fields of the VFO block data: one 16-byte band record each for A and B.
namespace vfo {
inline constexpr int BandA = 0;
inline constexpr int BandB = 16;
inline constexpr int BandRecordSize = 16;
inline constexpr int RxFrequency = 0;  // inside a band record
inline constexpr int TxFrequency = 4;
inline constexpr int RxTone = 8;    // tone codes
inline constexpr int TxTone = 10;
inline constexpr int Flags = 12;
inline constexpr int Flags2 = 14;

// Bits of the two flags words that hold settings; every other bit is carried untouched.
inline constexpr int PowerBit = 13;         // Flags: transmit power
inline constexpr int BandwidthBit = 12;     // Flags
inline constexpr int SignallingShift = 1;   // Flags bits 1-2: optional signalling
inline constexpr std::uint16_t SignallingMask = 3;
inline constexpr int BandLimitedBit = 12;   // Flags2: the band-limited option
}  // namespace vfo

// The function settings block data: every byte a setting, a band or a rule of the image
// reads. Bytes not named here are carried untouched.
namespace functions {
inline constexpr int ChannelDisplayB = 0;
inline constexpr int StepA = 1;
inline constexpr int SquelchA = 2;
inline constexpr int PowerSave = 3;
inline constexpr int EndTone = 5;
inline constexpr int TimeOut = 6;
inline constexpr int Vox = 7;
inline constexpr int VoicePrompt = 12;
inline constexpr int Beep = 13;
inline constexpr int PttMode = 14;
inline constexpr int CallRing = 15;
inline constexpr int RingTime = 16;
inline constexpr int StepB = 17;
inline constexpr int PttId = 19;
inline constexpr int DtmfSideTone = 21;
inline constexpr int TimeOutAlert = 22;
inline constexpr int ChannelDisplayA = 23;
inline constexpr int ScanMode = 24;
inline constexpr int KeyLock = 25;
inline constexpr int StartupDisplay = 26;
inline constexpr int SideKey = 27;
inline constexpr int TopKey = 28;
inline constexpr int Backlight = 29;
inline constexpr int RxBacklight = 30;
inline constexpr int TxBacklight = 31;
inline constexpr int Tdr = 32;
inline constexpr int AutoLock = 33;
inline constexpr int SquelchB = 34;
inline constexpr int Stopwatch = 36;
inline constexpr int CurrentChannelA = 37;  // 1-based
inline constexpr int RadioOwned = 38;       // bytes 38 and 39: always taken from the radio
inline constexpr int RadioOwnedLength = 2;
inline constexpr int Passwords = 42;        // two passwords of six digit bytes
inline constexpr int PasswordLength = TextFieldLength;
inline constexpr int ModePassword = Passwords;
inline constexpr int ResetPassword = Passwords + PasswordLength;
inline constexpr int AfterPasswords = Passwords + 2 * PasswordLength;  // 54
inline constexpr int LocalId = AfterPasswords;  // six DTMF codes
inline constexpr int Menu = 60;             // bit 0 only
inline constexpr int Priority = 62;
inline constexpr int CurrentChannelB = 63;  // 1-based
}  // namespace functions

// The offset block data: each band's offset direction and six offset digits, and the
// hidden text.
namespace offsets {
inline constexpr int DirectionA = 0;
inline constexpr int DigitsA = 1;
inline constexpr int DirectionB = 16;
inline constexpr int DigitsB = 17;
inline constexpr int DigitsLength = 6;
inline constexpr int HiddenText = 23;
}  // namespace offsets

// The start-up text block: the text is its first bytes, and only those come from the image
// when it is written.
namespace startup {
inline constexpr int Text = 0;
inline constexpr int ImageOwned = Text + TextFieldLength;  // data bytes 0-5 from the image, the rest from the radio
}

// The band-limit block data: eight big-endian BCD megahertz values.
namespace limits {
inline constexpr int Count = 8;
enum Index { RxLow1, RxHigh1, RxLow2, RxHigh2, TxLow1, TxHigh1, TxLow2, TxHigh2 };
}  // namespace limits

}  // namespace tarn::layout
