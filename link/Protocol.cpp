// The programming protocol: the radio answers only what the host asks, so every exchange is
// a send followed by a counted read, with the retries each step allows.
#include "link/Protocol.h"

#include "radio/RadioLayout.h"

#include <chrono>
#include <cstring>
#include <thread>

namespace tarn {

namespace {
constexpr int EntryLength = 8;
constexpr int IdentifyReplyLength = 8;
constexpr int DataLength = layout::BlockDataSize;
constexpr int ChunkLength = layout::ChunkSize;
// The read request's four bytes echoed, then the block.
constexpr int ReadReplyLength = 4 + DataLength;
static_assert(wire::ReadLength == DataLength && wire::WriteLength == ChunkLength);
constexpr int ReadSends = 4;
constexpr int AckReads = 4;
constexpr int WriteAttempts = 4;
// The radio needs a moment after the port opens before it listens.
constexpr auto SettleTime = std::chrono::milliseconds(200);
}  // namespace

std::uint8_t descrambleNibble(std::uint8_t stored)
{
    return static_cast<std::uint8_t>((7 * (stored & 0x0F) + 3) & 0x0F);
}

std::uint8_t scrambleNibble(std::uint8_t plain)
{
    // 7 is its own inverse modulo 16: s = 7 (p - 3) = 7 p + 11 (mod 16).
    return static_cast<std::uint8_t>((7 * (plain & 0x0F) + 11) & 0x0F);
}

std::uint8_t descrambleByte(std::uint8_t stored)
{
    return static_cast<std::uint8_t>((descrambleNibble(stored >> 4) << 4) | descrambleNibble(stored));
}

std::uint8_t scrambleByte(std::uint8_t plain)
{
    return static_cast<std::uint8_t>((scrambleNibble(plain >> 4) << 4) | scrambleNibble(plain));
}

bool Protocol::enterProgramming(int attempts)
{
    std::this_thread::sleep_for(SettleTime);
    m_line.purge();
    const auto* entry = reinterpret_cast<const std::uint8_t*>(wire::EntrySequence);
    for (int i = 0; i < attempts + 1; ++i) {
        if (m_line.write(entry, EntryLength) == 0)
            return false;
        std::uint8_t reply = 0;
        if (m_line.read(&reply, 1) == 1)
            return reply == wire::Ack;
    }
    return false;
}

bool Protocol::identify()
{
    const std::uint8_t request = wire::IdentifyRequest;
    if (m_line.write(&request, 1) == 0)
        return false;
    std::uint8_t reply[IdentifyReplyLength] = {};
    if (m_line.read(reply, IdentifyReplyLength) < IdentifyReplyLength)
        return false;
    // Byte 7 varies between radios of the same model and is not looked at.
    if (reply[0] != wire::Ack || std::memcmp(reply + 1, wire::Identity, 5) != 0 || reply[6] != 'V')
        return false;
    const std::uint8_t ack = wire::Ack;
    if (m_line.write(&ack, 1) == 0)
        return false;
    std::uint8_t confirm = 0;
    return m_line.read(&confirm, 1) == 1 && confirm == wire::Ack;
}

bool Protocol::readBlock(std::uint8_t high, std::uint8_t low, std::uint8_t* destination)
{
    const std::uint8_t request[4] = {wire::ReadRequest, high, low, wire::ReadLength};
    std::uint8_t reply[ReadReplyLength] = {};
    bool complete = false;
    for (int send = 0; send < ReadSends && !complete; ++send) {
        if (m_line.write(request, 4) == 0)
            return false;
        complete = m_line.read(reply, ReadReplyLength) == ReadReplyLength;
    }
    if (!complete)
        return false;
    if (reply[0] != wire::WriteFrame || reply[1] != high || reply[2] != low || reply[3] != wire::ReadLength)
        return false;
    std::memcpy(destination, reply + 4, DataLength);

    const std::uint8_t ack = wire::Ack;
    if (m_line.write(&ack, 1) == 0)
        return false;
    std::uint8_t confirm = 0;
    for (int i = 0; i < AckReads; ++i) {
        if (m_line.read(&confirm, 1) == 1)
            return confirm == wire::Ack;
    }
    return false;
}

bool Protocol::readLimitBlock(std::uint8_t high, std::uint8_t low, std::uint8_t* destination)
{
    const std::uint8_t request[4] = {wire::ReadRequest, high, low, wire::ReadLength};
    if (m_line.write(request, 4) == 0)
        return false;
    std::uint8_t reply[ReadReplyLength] = {};
    if (m_line.read(reply, ReadReplyLength) < ReadReplyLength)
        return false;
    if (reply[0] != wire::WriteFrame || reply[1] != high || reply[2] != low || reply[3] != wire::ReadLength)
        return false;
    for (int i = 0; i < DataLength; ++i)
        destination[i] = descrambleByte(reply[4 + i]);

    const std::uint8_t ack = wire::Ack;
    if (m_line.write(&ack, 1) == 0)
        return false;
    std::uint8_t confirm = 0;
    return m_line.read(&confirm, 1) == 1 && confirm == wire::Ack;
}

bool Protocol::writeChunk(std::uint8_t high, std::uint8_t low, const std::uint8_t* source)
{
    const std::uint8_t header[4] = {wire::WriteFrame, high, low, wire::WriteLength};
    for (int attempt = 0; attempt < WriteAttempts; ++attempt) {
        if (m_line.write(header, 4) == 0 || m_line.write(source, ChunkLength) == 0)
            return false;
        std::uint8_t reply = 0;
        if (m_line.read(&reply, 1) == 1 && reply == wire::Ack)
            return true;
    }
    return false;
}

}  // namespace tarn
