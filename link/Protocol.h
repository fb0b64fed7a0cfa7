// The radio's programming protocol over a byte line: entry sequence, identification,
// 64-byte block reads and 16-byte chunk writes, each confirmed with 0x06.
// Every operation returns true or false and keeps no error state.
#pragma once

#include "link/ByteLine.h"

#include <cstdint>

namespace tarn {

namespace wire {
inline constexpr std::uint8_t Ack = 0x06;
inline constexpr std::uint8_t IdentifyRequest = 0x02;
inline constexpr std::uint8_t ReadRequest = 0x52;
inline constexpr std::uint8_t WriteFrame = 0x57;
inline constexpr std::uint8_t ReadLength = 0x40;
inline constexpr std::uint8_t WriteLength = 0x10;
inline constexpr char EntrySequence[] = "PoLMTK7Z";  // 8 bytes, sent without terminator
inline constexpr char Identity[] = "TZ386";
}  // namespace wire

// The band-limit block's nibble substitution and its inverse (used by the virtual radio).
std::uint8_t descrambleNibble(std::uint8_t stored);
std::uint8_t scrambleNibble(std::uint8_t plain);
std::uint8_t descrambleByte(std::uint8_t stored);
std::uint8_t scrambleByte(std::uint8_t plain);

class Protocol {
public:
    explicit Protocol(ByteLine& line) : m_line(line) {}

    bool enterProgramming(int attempts);
    bool identify();
    bool readBlock(std::uint8_t high, std::uint8_t low, std::uint8_t* destination);
    bool readLimitBlock(std::uint8_t high, std::uint8_t low, std::uint8_t* destination);
    bool writeChunk(std::uint8_t high, std::uint8_t low, const std::uint8_t* source);

private:
    ByteLine& m_line;
};

}  // namespace tarn
