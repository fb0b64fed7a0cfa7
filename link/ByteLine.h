// The abstract byte line the programming protocol talks to. CommPort implements it over a
// serial device; tests implement it with a scripted line.
#pragma once

#include <atomic>
#include <cstdint>

namespace tarn {

class ByteLine {
public:
    virtual ~ByteLine() = default;
    // One blocking write; returns the number of bytes written (0 when nothing went out).
    virtual int write(const std::uint8_t* bytes, int n) = 0;
    // One blocking read of up to n bytes; returns how many arrived before the time-outs.
    virtual int read(std::uint8_t* buffer, int n) = 0;
    // Discard everything pending in both directions.
    virtual void purge() = 0;

    // A stop request that cuts waits on the line short: once it is set, a read or a write
    // returns within a fraction of a second with what it had. Null: never stopped.
    void setStopFlag(const std::atomic<bool>* flag) { m_stop = flag; }
    bool stopRequested() const { return m_stop && m_stop->load(); }

private:
    const std::atomic<bool>* m_stop = nullptr;
};

}  // namespace tarn
