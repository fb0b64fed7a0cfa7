// A pseudo-terminal for serial tests: the test plays the radio on the master side while
// CommPort opens the slave device.
#pragma once

#include <cerrno>
#include <cstdint>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <string>
#include <termios.h>
#include <unistd.h>
#include <vector>

class PtyPair {
public:
    PtyPair()
    {
        master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0)
            return;
        slave = ::ptsname(master);
        // Keep the slave open so the terminal stays configured between opens.
        keeper = ::open(slave.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
        termios t{};
        if (::tcgetattr(keeper, &t) == 0) {
            ::cfmakeraw(&t);
            ::tcsetattr(keeper, TCSANOW, &t);
        }
    }
    ~PtyPair()
    {
        closeMaster();
        if (keeper >= 0)
            ::close(keeper);
    }
    bool ok() const { return master >= 0 && keeper >= 0; }
    void closeMaster()
    {
        if (master >= 0)
            ::close(master);
        master = -1;
    }
    void send(const std::vector<std::uint8_t>& bytes) { (void)!::write(master, bytes.data(), bytes.size()); }
    // Whatever the host wrote, waiting up to `ms` for the first byte.
    std::vector<std::uint8_t> receive(int ms = 500)
    {
        std::vector<std::uint8_t> bytes;
        pollfd p{master, POLLIN, 0};
        while (::poll(&p, 1, bytes.empty() ? ms : 50) > 0) {
            std::uint8_t buffer[256];
            const ssize_t n = ::read(master, buffer, sizeof buffer);
            if (n <= 0)
                break;
            bytes.insert(bytes.end(), buffer, buffer + n);
        }
        return bytes;
    }

    int master = -1;
    int keeper = -1;
    std::string slave;
};
