// PtyRadio: a VirtualRadio served on a pseudo-terminal from its own thread, so that the
// program (or a test) can open the terminal's other side like a serial port.
#pragma once

#include "emulator/VirtualRadio.h"

#include <atomic>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tarn {

class PtyRadio {
public:
    explicit PtyRadio(VirtualRadio radio = VirtualRadio());
    ~PtyRadio();
    PtyRadio(const PtyRadio&) = delete;
    PtyRadio& operator=(const PtyRadio&) = delete;

    // Opens the pseudo-terminal and starts serving; false (and `error`) when the system
    // refuses a terminal.
    bool start(std::string* error = nullptr);
    // Stops serving and closes the terminal; the radio's state stays readable.
    void stop();
    bool isRunning() const { return m_thread.joinable(); }
    // True once the radio hung up (the hang-up fault).
    bool hungUp() const { return m_hungUp; }

    // The device the program opens as its serial port.
    const std::string& slavePath() const { return m_slavePath; }

    // Without pacing the radio answers at once; with it (the default) the line behaves as a
    // 9600-baud cable both ways: a frame is answered once its last byte would have arrived,
    // and the answer goes out byte by byte at that speed. Set before start().
    void setFast(bool fast) { m_fast = fast; }
    // A pause after which an unfinished frame is dropped.
    void setIdleTimeoutMs(int ms) { m_idleMs = ms; }

    void setFaults(const RadioFaults& faults);
    RadioFaults faults() const;
    std::vector<Frame> frames() const;
    void clearFrames();
    VirtualRadio::Memory memory() const;
    void setMemory(const VirtualRadio::Memory& memory);
    // A copy of the radio as it is now (memory, frames, faults).
    VirtualRadio radio() const;

private:
    void serve();
    void sendPaced(const std::vector<std::uint8_t>& bytes);

    VirtualRadio m_radio;
    mutable std::mutex m_mutex;
    std::thread m_thread;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_hungUp{false};
    bool m_fast = false;
    int m_idleMs = 300;
    int m_master = -1;
    int m_slaveKeeper = -1;
    std::string m_slavePath;
};

}  // namespace tarn
