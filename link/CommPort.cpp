// The serial line over Linux's terminal calls. The time-outs are kept by our own deadlines,
// as the terminal driver has no per-byte total time-out of its own.
#include "link/CommPort.h"

#include "link/PortMap.h"

#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <linux/serial.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

namespace tarn {

namespace {

using Clock = std::chrono::steady_clock;
using std::chrono::milliseconds;

constexpr int ReadIntervalMs = 388;
constexpr int ReadTotalMultiplierMs = 1000;
constexpr int ReadTotalConstantMs = 1000;
constexpr int WriteTotalMultiplierMs = 2000;
constexpr int WriteTotalConstantMs = 2;
// How often a wait looks at the stop request: a stop ends a wait within this time.
constexpr int StopCheckMs = 100;

int millisecondsUntil(Clock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<milliseconds>(deadline - Clock::now()).count();
    // Round up so that a wait never ends just before its deadline.
    return left <= 0 ? 0 : static_cast<int>(left) + 1;
}

}  // namespace

struct CommPort::Private {
    int fd = -1;
    bool isOpen = false;
    CommPort::OpenFailure lastOpenFailure = CommPort::OpenFailure::None;
    std::string lastOpenError;
    CommPort::LowLatency lowLatency = CommPort::LowLatency::NotAsked;
    CommPort::Trace trace;

    bool fail(CommPort::OpenFailure failure, std::string words)
    {
        lastOpenFailure = failure;
        lastOpenError = std::move(words);
        return false;
    }
    bool failWithErrno(int error)
    {
        if (error == ENOENT || error == ENXIO || error == ENODEV)
            return fail(CommPort::OpenFailure::Missing, "no such device");
        if (error == EACCES || error == EPERM)
            return fail(CommPort::OpenFailure::NoPermission, "no permission");
        if (error == EBUSY || error == EWOULDBLOCK)
            return fail(CommPort::OpenFailure::Busy, "in use by another program");
        return fail(CommPort::OpenFailure::Other, std::strerror(error));
    }
};

namespace {

// What a path that is not a serial line is, for the refusal.
const char* kindOfFile(mode_t mode)
{
    if (S_ISREG(mode))
        return "an ordinary file";
    if (S_ISDIR(mode))
        return "a folder";
    if (S_ISFIFO(mode))
        return "a FIFO";
    if (S_ISSOCK(mode))
        return "a socket";
    if (S_ISBLK(mode))
        return "a block device";
    return "a character device that is not a terminal";
}

// Asks the driver for its low-latency mode: USB adapters then pass each received byte on
// within a millisecond instead of collecting bytes for 16 ms, which counts with 265
// acknowledged chunks in a write.
CommPort::LowLatency requestLowLatency(int fd)
{
    serial_struct serial{};
    if (::ioctl(fd, TIOCGSERIAL, &serial) != 0)
        return CommPort::LowLatency::Refused;
    serial.flags |= ASYNC_LOW_LATENCY;
    return ::ioctl(fd, TIOCSSERIAL, &serial) == 0 ? CommPort::LowLatency::Granted
                                                   : CommPort::LowLatency::Refused;
}

}  // namespace

bool CommPort::open(const std::string& name)
{
    if (d->isOpen)
        return true;
    d->lowLatency = LowLatency::NotAsked;
    const QString device = PortMap::deviceForName(name);
    if (device.isEmpty())
        return d->fail(OpenFailure::NoDevice, "no device");
    const QByteArray path = device.toLocal8Bit();
    // Only a terminal is a serial line. A port mapped by mistake to an ordinary file, a
    // folder or a FIFO is refused before it is opened, so nothing is ever written to it.
    struct stat info {};
    if (::stat(path.constData(), &info) != 0)
        return d->failWithErrno(errno);
    if (!S_ISCHR(info.st_mode))
        return d->fail(OpenFailure::NotSerial, std::string("not a serial device (") + kindOfFile(info.st_mode) + ")");
    const int fd = ::open(path.constData(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (fd < 0)
        return d->failWithErrno(errno);
    // The path may have been replaced since the check above; the open file decides.
    if (::fstat(fd, &info) != 0 || !S_ISCHR(info.st_mode) || !::isatty(fd)) {
        ::close(fd);
        return d->fail(OpenFailure::NotSerial, std::string("not a serial device (") + kindOfFile(info.st_mode) + ")");
    }
    // No sharing: the lock also holds against root, which TIOCEXCL does not stop.
    if (::flock(fd, LOCK_EX | LOCK_NB) != 0) {
        const int error = errno == EWOULDBLOCK ? EBUSY : errno;
        ::close(fd);
        return d->failWithErrno(error);
    }
    ::ioctl(fd, TIOCEXCL);

    termios settings{};
    if (::tcgetattr(fd, &settings) == 0) {
        // Binary mode: no line editing, echo, character translation or software flow
        // control, so every byte value passes unchanged.
        settings.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR
                                                   | IGNCR | ICRNL | IXON | IXOFF | IXANY);
        settings.c_oflag &= ~static_cast<tcflag_t>(OPOST);
        settings.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
        settings.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB);
        settings.c_cflag |= CS8 | CREAD | CLOCAL;
        settings.c_cc[VMIN] = 0;
        settings.c_cc[VTIME] = 0;
        ::cfsetispeed(&settings, B9600);
        ::cfsetospeed(&settings, B9600);
        ::tcsetattr(fd, TCSANOW, &settings);
    }
    int dtr = TIOCM_DTR;
    ::ioctl(fd, TIOCMBIS, &dtr);  // fails on a pseudo-terminal; not needed there
    d->lowLatency = requestLowLatency(fd);

    d->fd = fd;
    d->lastOpenFailure = OpenFailure::None;
    d->lastOpenError.clear();
    d->isOpen = true;
    return true;
}

bool CommPort::close()
{
    if (d->fd < 0)
        return false;
    // Lift the exclusive flag: it would outlive us while another holder keeps the device open.
    ::ioctl(d->fd, TIOCNXCL);
    ::flock(d->fd, LOCK_UN);
    if (::close(d->fd) != 0 && errno != EINTR)
        return false;
    d->fd = -1;
    d->isOpen = false;
    return true;
}

int CommPort::write(const std::uint8_t* bytes, int n)
{
    if (!d->isOpen || n <= 0 || stopRequested())
        return 0;
    const auto deadline = Clock::now() + milliseconds(WriteTotalMultiplierMs * static_cast<long long>(n)
                                                      + WriteTotalConstantMs);
    int written = 0;
    while (written < n) {
        const ssize_t count = ::write(d->fd, bytes + written, static_cast<size_t>(n - written));
        if (count > 0) {
            if (d->trace)
                d->trace(true, bytes + written, static_cast<int>(count));
            written += static_cast<int>(count);
            continue;
        }
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            break;  // the device is gone
        const int wait = millisecondsUntil(deadline);
        if (wait == 0 || stopRequested())
            break;
        pollfd p{d->fd, POLLOUT, 0};
        const int ready = ::poll(&p, 1, std::min(wait, StopCheckMs));
        if (ready == 0 && wait > StopCheckMs)
            continue;
        if (ready == 0 || (ready > 0 && (p.revents & (POLLERR | POLLHUP | POLLNVAL))))
            break;
    }
    return written;
}

int CommPort::read(std::uint8_t* buffer, int n)
{
    if (!d->isOpen || n <= 0 || stopRequested())
        return 0;
    const auto start = Clock::now();
    const auto totalDeadline = start + milliseconds(ReadTotalMultiplierMs * static_cast<long long>(n)
                                                    + ReadTotalConstantMs);
    Clock::time_point intervalDeadline = Clock::time_point::max();
    int got = 0;
    while (got < n) {
        const auto deadline = std::min(totalDeadline, intervalDeadline);
        const int wait = millisecondsUntil(deadline);
        if (wait == 0 || stopRequested())
            break;
        pollfd p{d->fd, POLLIN, 0};
        const int ready = ::poll(&p, 1, std::min(wait, StopCheckMs));
        if (ready < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (ready == 0)
            continue;  // the deadline check above ends the read
        if (p.revents & POLLNVAL)
            break;
        const ssize_t count = ::read(d->fd, buffer + got, static_cast<size_t>(n - got));
        if (count > 0) {
            if (d->trace)
                d->trace(false, buffer + got, static_cast<int>(count));
            got += static_cast<int>(count);
            intervalDeadline = Clock::now() + milliseconds(ReadIntervalMs);
            continue;
        }
        if (count < 0 && (errno == EAGAIN || errno == EWOULDBLOCK || errno == EINTR))
            continue;
        break;  // end of file or an error: the other side hung up, nothing more will come
    }
    return got;
}

void CommPort::purge()
{
    if (d->isOpen)
        ::tcflush(d->fd, TCIOFLUSH);
}

CommPort::CommPort() : d(std::make_unique<Private>()) {}

CommPort::~CommPort()
{
    closeIfOpen();
}

void CommPort::closeIfOpen()
{
    if (d->isOpen)
        close();
}

bool CommPort::isOpen() const
{
    return d->isOpen;
}

CommPort::OpenFailure CommPort::lastOpenFailure() const
{
    return d->lastOpenFailure;
}

std::string CommPort::lastOpenError() const
{
    return d->lastOpenError;
}

CommPort::LowLatency CommPort::lowLatency() const
{
    return d->lowLatency;
}

void CommPort::setTrace(Trace trace)
{
    d->trace = std::move(trace);
}

}  // namespace tarn
