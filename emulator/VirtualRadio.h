// VirtualRadio: the radio's side of the programming protocol, with 64 KiB of memory, a log
// of the frames it received and switchable faults. It only turns received bytes into reply
// bytes; PtyRadio puts it on a pseudo-terminal.
#pragma once

#include "radio/RadioImage.h"

#include <array>
#include <cstddef>
#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace tarn {

using Frame = std::vector<std::uint8_t>;

// What a logged frame was, for counting the frames of a transfer (chunk writes of a write,
// block reads of a read-back).
enum class FrameKind { Entry, Identify, Ack, Read, ChunkWrite };

// Misbehaviour to switch on for tests and demonstrations. The defaults are a healthy radio.
struct RadioFaults {
    bool silent = false;             // receive and log, never answer
    int entryReply = -1;             // answer the entry sequence with this byte instead of 0x06
    bool failIdentify = false;       // answer identification as another model
    int shortReadAddress = -1;       // reads of this address ...
    int shortReadFrom = 1;           // ... from the n-th one (1-based) ...
    int shortReadCount = 1;          // ... this many times in a row ...
    int shortReadBytes = 30;         // ... get only this many bytes of the 68-byte reply
    int wrongEchoAddress = -1;       // reads of this address echo another address
    int nackWrites = 0;              // answer the first n chunk writes with nackByte (not stored)
    std::uint8_t nackByte = 0x15;
    int hangUpAfterFrames = 0;       // close the line after answering this many frames (0: never)
    int quietAfterFrames = 0;        // answer nothing more after this many frames, line kept open
};

// What the radio does in answer to received bytes.
struct RadioReply {
    std::vector<std::uint8_t> bytes;
    bool hangUp = false;
};

class VirtualRadio {
public:
    static constexpr std::size_t MemorySize = 65536;
    using Memory = std::array<std::uint8_t, MemorySize>;

    // A radio fresh from the factory (see factoryMemory()).
    VirtualRadio();

    // Band limits 136-174 and 400-480 MHz, the settings blocks of a new image and a few
    // programmed channels; everything else erased (0xFF).
    static Memory factoryMemory();
    // Memory holding an image's blocks, each at its header's address; the band limits are
    // stored scrambled, as the radio keeps them.
    static Memory memoryFromImage(const RadioImage& image);
    // A new image whose blocks (band limits descrambled, scratch included) are filled from memory.
    static RadioImage imageFromMemory(const Memory& memory);

    Memory& memory() { return m_memory; }
    const Memory& memory() const { return m_memory; }

    RadioFaults& faults() { return m_faults; }
    const RadioFaults& faults() const { return m_faults; }
    void setFaults(const RadioFaults& faults) { m_faults = faults; }

    // Bytes as they arrive on the line, in any pieces.
    RadioReply receive(const std::uint8_t* bytes, std::size_t n);
    // The line has been quiet for a while: an unfinished frame will not be completed.
    void lineIdle();

    bool inProgrammingMode() const { return m_programming; }
    bool hungUp() const { return m_hungUp; }
    // Every frame received, in order (the write frame as one 20-byte frame).
    const std::vector<Frame>& frames() const { return m_frames; }
    void clearFrames() { m_frames.clear(); }

    // Frames as hex lines ("52 00 10 40"), one frame per line.
    static std::string framesAsHex(const std::vector<Frame>& frames);
    // What a frame of the log is, and how many of a kind a log holds.
    static FrameKind kindOf(const Frame& frame);
    static int countFrames(const std::vector<Frame>& frames, FrameKind kind);

private:
    // Handles one complete frame at the front of the buffer; returns the bytes it used, or 0
    // when the frame is not complete yet.
    std::size_t handleFrame(RadioReply& reply);
    void logFrame(std::size_t length);
    void answerRead(std::uint16_t address, RadioReply& reply);

    Memory m_memory{};
    RadioFaults m_faults;
    std::vector<std::uint8_t> m_pending;
    std::vector<Frame> m_frames;
    std::map<std::uint16_t, int> m_readsOfAddress;
    int m_writesSeen = 0;
    bool m_programming = false;
    bool m_expectAck = false;
    bool m_hungUp = false;
};

}  // namespace tarn
