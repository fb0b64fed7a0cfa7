// CommPort: the serial line to the radio. 9600 baud, 8N1, DTR on, blocking byte-count reads
// and writes ended by the line's own deadlines (388 ms between bytes, 1000 ms + 1000 ms per
// byte in all for a read; 2 ms + 2000 ms per byte for a write).
#pragma once

#include "link/ByteLine.h"

#include <functional>
#include <memory>
#include <string>

namespace tarn {

class CommPort : public ByteLine {
public:
    CommPort();
    ~CommPort() override;

    // `name` is "COM<n>"; the port map turns it into a device. While open, a no-op that
    // reports success (even for another name).
    bool open(const std::string& name);
    bool close();
    void closeIfOpen();
    bool isOpen() const;

    int write(const std::uint8_t* bytes, int n) override;
    int read(std::uint8_t* buffer, int n) override;
    void purge() override;

    // Why the last open failed, as a kind and in words ("no such device", "no permission",
    // "not a serial device (an ordinary file)", ...), for "tarn-cli ports" and the port dialog.
    enum class OpenFailure { None, NoDevice, Missing, NotSerial, NoPermission, Busy, Other };
    OpenFailure lastOpenFailure() const;
    std::string lastOpenError() const;

    // Whether the driver took the request for its low-latency mode (a 1 ms latency timer on
    // the usual USB adapters) at the last open; a driver may refuse, the port works anyway.
    enum class LowLatency { NotAsked, Granted, Refused };
    LowLatency lowLatency() const;

    // Called with every byte that went out (sent = true) or came in, as it passes the line,
    // on the thread that reads or writes; for "tarn-cli --trace". Empty: no tracing.
    using Trace = std::function<void(bool sent, const std::uint8_t* bytes, int n)>;
    void setTrace(Trace trace);

private:
    struct Private;
    std::unique_ptr<Private> d;
};

}  // namespace tarn
