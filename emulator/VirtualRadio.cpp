// The radio's side of the protocol. It reads the byte stream frame by frame and is forgiving
// the way a real radio is: bytes that start no frame are dropped, and the entry sequence
// always starts over.
#include "emulator/VirtualRadio.h"

#include "link/Protocol.h"
#include "radio/Bytes.h"
#include "radio/ChannelRecord.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace tarn {

namespace {

constexpr std::size_t EntryLength = 8;
constexpr std::size_t ReadRequestLength = 4;
constexpr std::size_t WriteFrameLength = 4 + layout::ChunkSize;
// Byte 7 of the identification reply: not examined by the host; a real radio sends a
// version byte here.
constexpr std::uint8_t IdentityVersion = 0x01;
// Whole MHz, as BCD: 136-174 and 400-480 for both receiving and transmitting.
constexpr std::array<std::uint16_t, layout::limits::Count> FactoryLimits{
    0x0136, 0x0174, 0x0400, 0x0480, 0x0136, 0x0174, 0x0400, 0x0480};

constexpr std::uint32_t FactoryBandAFrequency = 0x43502500;

const std::uint8_t* entrySequence()
{
    return reinterpret_cast<const std::uint8_t*>(wire::EntrySequence);
}

struct FactoryChannel {
    int number;  // 1-based, as the user sees it
    std::uint32_t rx;
    std::uint32_t tx;
    std::uint16_t rxTone;
    std::uint16_t txTone;
    std::uint16_t optionsA;
    const char* name;
};

// A few channels a dealer might leave in a demonstration radio.
constexpr FactoryChannel FactoryChannels[] = {
    {1, 0x14550000, 0x14550000, 0xFFFF, 0xFFFF, 0xFFFF, "CALL2M"},
    {2, 0x14570000, 0x14510000, 0xFFFF, 0x0375, 0xFFFF, "RPT1"},      // 88.5 Hz up
    {3, 0x43350000, 0x43350000, 0xFFFF, 0xFFFF, 0xFFFF, "UHF1"},
    {4, 0x44600625, 0x44600625, 0x029E, 0x029E, 0xDFFF, "PMR1"},      // 67.0 Hz both ways
    {5, 0x43880000, 0x43120000, 0x2813, 0x2813, 0xFFFF, "RPT2"},      // DN023
    {6, 0x15182000, 0x15182000, 0xFFFF, 0xFFFF, 0xEFFF, "MURS1"},
    {9, 0x43900000, 0x43900000, 0xA9EC, 0xA9EC, 0xFFFF, "DIG9"},      // DI754
};

void putBlock(VirtualRadio::Memory& memory, std::uint16_t address, const std::uint8_t* data, int length)
{
    for (int i = 0; i < length; ++i)
        memory[static_cast<std::uint16_t>(address + i)] = data[i];
}

void getBlock(const VirtualRadio::Memory& memory, std::uint16_t address, std::uint8_t* data)
{
    for (int i = 0; i < layout::BlockDataSize; ++i)
        data[i] = memory[static_cast<std::uint16_t>(address + i)];
}

}  // namespace

VirtualRadio::VirtualRadio() : m_memory(factoryMemory()) {}

VirtualRadio::Memory VirtualRadio::factoryMemory()
{
    RadioImage image;
    for (const FactoryChannel& channel : FactoryChannels) {
        const int i = channel.number - 1;
        auto slot = image.channelSlot(i);
        writeLe32(slot.data() + layout::channel::RxFrequency, channel.rx);
        writeLe32(slot.data() + layout::channel::TxFrequency, channel.tx);
        writeLe16(slot.data() + layout::channel::RxTone, channel.rxTone);
        writeLe16(slot.data() + layout::channel::TxTone, channel.txTone);
        writeLe16(slot.data() + layout::channel::OptionsA, channel.optionsA);
        writeLe16(slot.data() + layout::channel::OptionsB, 0xFFFF);
        StoreChannelName(image.extensionSlot(i), channel.name);
    }
    // A new image's A-band frequency (375.025 MHz) lies outside these limits; a radio
    // never holds a VFO frequency it cannot receive, so the factory A band sits on 435.025.
    auto bandA = image.bandRecord(Band::A);
    writeLe32(bandA.data() + layout::vfo::RxFrequency, FactoryBandAFrequency);
    writeLe32(bandA.data() + layout::vfo::TxFrequency, FactoryBandAFrequency);
    auto limits = image.bandLimitData();
    std::fill(limits.begin(), limits.end(), 0xFF);
    for (int k = 0; k < layout::limits::Count; ++k) {
        limits[2 * k] = static_cast<std::uint8_t>(FactoryLimits[k] >> 8);
        limits[2 * k + 1] = static_cast<std::uint8_t>(FactoryLimits[k]);
    }
    return memoryFromImage(image);
}

VirtualRadio::Memory VirtualRadio::memoryFromImage(const RadioImage& source)
{
    RadioImage image = source;
    Memory memory;
    memory.fill(0xFF);
    using namespace layout;
    // Blocks may share radio bytes (the start-up text block overlaps the function settings
    // block): every block goes in whole, then the part each block writes goes in again, so
    // a shared byte holds the copy of the block that writes it.
    for (bool writtenPart : {false, true}) {
        for (RegionId region : TransferRegions) {
            for (int b = 0; b < Regions[region].records; ++b) {
                BlockRef block = image.block(region, b);
                const int length = writtenPart ? block.chunksWritten() * ChunkSize : BlockDataSize;
                putBlock(memory, block.address(), block.data().data(), length);
            }
        }
    }
    BlockRef limits = image.block(BandLimits);
    std::array<std::uint8_t, BlockDataSize> scrambled{};
    for (int i = 0; i < BlockDataSize; ++i)
        scrambled[i] = scrambleByte(limits.data()[i]);
    putBlock(memory, limits.address(), scrambled.data(), BlockDataSize);
    return memory;
}

RadioImage VirtualRadio::imageFromMemory(const Memory& memory)
{
    RadioImage image;
    using namespace layout;
    for (RegionId region : BlockRegions) {
        for (int b = 0; b < Regions[region].records; ++b) {
            BlockRef block = image.block(region, b);
            getBlock(memory, block.address(), block.data().data());
            // The radio keeps its limits scrambled.
            if (Regions[region].transfer == Transfer::LimitsOnly)
                for (std::uint8_t& byte : block.data())
                    byte = descrambleByte(byte);
        }
    }
    return image;
}

RadioReply VirtualRadio::receive(const std::uint8_t* bytes, std::size_t n)
{
    RadioReply reply;
    if (m_hungUp)
        return reply;
    m_pending.insert(m_pending.end(), bytes, bytes + n);
    while (!m_pending.empty() && !m_hungUp) {
        const std::size_t answered = reply.bytes.size();
        const std::size_t used = handleFrame(reply);
        if (m_faults.quietAfterFrames > 0 && static_cast<int>(m_frames.size()) > m_faults.quietAfterFrames)
            reply.bytes.resize(answered);  // gone quiet: the frame is heard, not answered
        if (used == 0)
            break;
        m_pending.erase(m_pending.begin(), m_pending.begin() + static_cast<std::ptrdiff_t>(used));
    }
    reply.hangUp = m_hungUp;
    return reply;
}

void VirtualRadio::lineIdle()
{
    m_pending.clear();
}

void VirtualRadio::logFrame(std::size_t length)
{
    m_frames.emplace_back(m_pending.begin(), m_pending.begin() + static_cast<std::ptrdiff_t>(length));
    if (m_faults.hangUpAfterFrames > 0 && static_cast<int>(m_frames.size()) >= m_faults.hangUpAfterFrames)
        m_hungUp = true;  // the answer to this frame still goes out
}

std::size_t VirtualRadio::handleFrame(RadioReply& reply)
{
    const std::size_t size = m_pending.size();
    const std::uint8_t* p = m_pending.data();

    // Outside programming mode only the entry sequence means anything: skip to where it may
    // start and keep a partial one for the next bytes.
    if (!m_programming || p[0] == entrySequence()[0]) {
        const std::size_t compare = std::min(size, EntryLength);
        const bool prefix = std::memcmp(p, entrySequence(), compare) == 0;
        if (prefix && size < EntryLength)
            return 0;
        if (prefix) {
            logFrame(EntryLength);
            m_expectAck = false;
            if (m_faults.silent) {
                m_programming = false;
            } else if (m_faults.entryReply >= 0 && m_faults.entryReply != wire::Ack) {
                reply.bytes.push_back(static_cast<std::uint8_t>(m_faults.entryReply));
                m_programming = false;
            } else {
                reply.bytes.push_back(wire::Ack);
                m_programming = true;
            }
            return EntryLength;
        }
        if (!m_programming)
            return 1;
    }

    switch (p[0]) {
    case wire::IdentifyRequest: {
        logFrame(1);
        static constexpr std::uint8_t Wrong[] = {'T', 'Z', '9', '9', '9'};
        reply.bytes.push_back(wire::Ack);
        const auto* model = m_faults.failIdentify ? Wrong : reinterpret_cast<const std::uint8_t*>(wire::Identity);
        reply.bytes.insert(reply.bytes.end(), model, model + 5);
        reply.bytes.push_back('V');
        reply.bytes.push_back(IdentityVersion);
        m_expectAck = true;
        return 1;
    }
    case wire::Ack:
        logFrame(1);
        if (m_expectAck)
            reply.bytes.push_back(wire::Ack);
        m_expectAck = false;
        return 1;
    case wire::ReadRequest:
        if (size >= ReadRequestLength && p[3] != wire::ReadLength)
            return 1;
        if (size < ReadRequestLength)
            return 0;
        logFrame(ReadRequestLength);
        answerRead(static_cast<std::uint16_t>((p[1] << 8) | p[2]), reply);
        return ReadRequestLength;
    case wire::WriteFrame: {
        if (size >= 4 && p[3] != wire::WriteLength)
            return 1;
        if (size < WriteFrameLength)
            return 0;
        logFrame(WriteFrameLength);
        m_expectAck = false;
        ++m_writesSeen;
        if (m_writesSeen <= m_faults.nackWrites) {
            reply.bytes.push_back(m_faults.nackByte);
        } else {
            const std::uint16_t address = static_cast<std::uint16_t>((p[1] << 8) | p[2]);
            for (int i = 0; i < layout::ChunkSize; ++i)
                m_memory[static_cast<std::uint16_t>(address + i)] = p[4 + i];
            reply.bytes.push_back(wire::Ack);
        }
        return WriteFrameLength;
    }
    default:
        return 1;  // no frame starts with this byte
    }
}

void VirtualRadio::answerRead(std::uint16_t address, RadioReply& reply)
{
    const int count = ++m_readsOfAddress[address];
    const std::uint16_t echoed =
        address == m_faults.wrongEchoAddress ? static_cast<std::uint16_t>(address + 0x40) : address;
    std::vector<std::uint8_t> frame{wire::WriteFrame, static_cast<std::uint8_t>(echoed >> 8),
                                    static_cast<std::uint8_t>(echoed), wire::ReadLength};
    for (int i = 0; i < layout::BlockDataSize; ++i)
        frame.push_back(m_memory[static_cast<std::uint16_t>(address + i)]);
    if (address == m_faults.shortReadAddress && count >= m_faults.shortReadFrom
        && count < m_faults.shortReadFrom + m_faults.shortReadCount) {
        frame.resize(static_cast<std::size_t>(std::clamp<int>(m_faults.shortReadBytes, 0, 67)));
    }
    reply.bytes.insert(reply.bytes.end(), frame.begin(), frame.end());
    m_expectAck = true;
}

FrameKind VirtualRadio::kindOf(const Frame& frame)
{
    // Only whole frames are logged, so the length and the first byte tell them apart.
    if (frame.size() == EntryLength)
        return FrameKind::Entry;
    if (frame.size() == ReadRequestLength)
        return FrameKind::Read;
    if (frame.size() == WriteFrameLength)
        return FrameKind::ChunkWrite;
    return frame.size() == 1 && frame[0] == wire::IdentifyRequest ? FrameKind::Identify : FrameKind::Ack;
}

int VirtualRadio::countFrames(const std::vector<Frame>& frames, FrameKind kind)
{
    return static_cast<int>(std::count_if(frames.begin(), frames.end(),
                                          [kind](const Frame& frame) { return kindOf(frame) == kind; }));
}

std::string VirtualRadio::framesAsHex(const std::vector<Frame>& frames)
{
    std::string text;
    char hex[4];
    for (const Frame& frame : frames) {
        for (std::size_t i = 0; i < frame.size(); ++i) {
            std::snprintf(hex, sizeof hex, i == 0 ? "%02X" : " %02X", frame[i]);
            text += hex;
        }
        text += '\n';
    }
    return text;
}

}  // namespace tarn
