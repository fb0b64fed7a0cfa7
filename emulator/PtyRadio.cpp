// The pseudo-terminal side of the virtual radio. The server keeps the terminal's other side
// open itself, so the terminal keeps its settings and the device stays in place while the
// program opens and closes it between transfers.
#include "emulator/PtyRadio.h"

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <stdlib.h>

namespace tarn {

namespace {
using Clock = std::chrono::steady_clock;
// One byte of 8N1 at 9600 baud: ten bits.
constexpr auto ByteTime = std::chrono::nanoseconds(1'000'000'000LL * 10 / 9600);

void makeRaw(int fd)
{
    termios settings{};
    if (::tcgetattr(fd, &settings) != 0)
        return;
    ::cfmakeraw(&settings);
    settings.c_cflag |= CLOCAL | CREAD;
    settings.c_cc[VMIN] = 0;
    settings.c_cc[VTIME] = 0;
    ::cfsetispeed(&settings, B9600);
    ::cfsetospeed(&settings, B9600);
    ::tcsetattr(fd, TCSANOW, &settings);
}
}  // namespace

PtyRadio::PtyRadio(VirtualRadio radio) : m_radio(std::move(radio)) {}

PtyRadio::~PtyRadio()
{
    stop();
}

bool PtyRadio::start(std::string* error)
{
    if (isRunning())
        return true;
    auto fail = [&](const char* what) {
        if (error)
            *error = std::string(what) + ": " + std::strerror(errno);
        if (m_master >= 0)
            ::close(m_master);
        m_master = -1;
        return false;
    };
    m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (m_master < 0)
        return fail("posix_openpt");
    if (::grantpt(m_master) != 0)
        return fail("grantpt");
    if (::unlockpt(m_master) != 0)
        return fail("unlockpt");
    const char* name = ::ptsname(m_master);
    if (!name)
        return fail("ptsname");
    m_slavePath = name;
    m_slaveKeeper = ::open(m_slavePath.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    if (m_slaveKeeper >= 0)
        makeRaw(m_slaveKeeper);
    ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
    m_stop = false;
    m_hungUp = false;
    m_thread = std::thread([this] { serve(); });
    return true;
}

void PtyRadio::stop()
{
    m_stop = true;
    if (m_thread.joinable())
        m_thread.join();
    if (m_master >= 0)
        ::close(m_master);
    if (m_slaveKeeper >= 0)
        ::close(m_slaveKeeper);
    m_master = -1;
    m_slaveKeeper = -1;
}

void PtyRadio::serve()
{
    std::uint8_t buffer[512];
    auto lastInput = Clock::now();
    // When the last byte the host sent would have crossed a 9600-baud line: the terminal
    // hands the host's bytes over at once, a cable does not.
    auto receivedBy = Clock::now();
    bool partial = false;
    while (!m_stop) {
        pollfd p{m_master, POLLIN, 0};
        const int ready = ::poll(&p, 1, 20);
        if (ready <= 0) {
            if (partial && Clock::now() - lastInput > std::chrono::milliseconds(m_idleMs)) {
                std::lock_guard lock(m_mutex);
                m_radio.lineIdle();
                partial = false;
            }
            continue;
        }
        const ssize_t count = ::read(m_master, buffer, sizeof buffer);
        if (count <= 0) {
            // Nobody holds the other side (only possible without the keeper): wait for a user.
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
            continue;
        }
        lastInput = Clock::now();
        if (!m_fast)
            receivedBy = std::max(receivedBy, lastInput) + ByteTime * static_cast<long long>(count);
        RadioReply reply;
        {
            std::lock_guard lock(m_mutex);
            reply = m_radio.receive(buffer, static_cast<std::size_t>(count));
        }
        partial = true;
        // The radio answers a frame only once the whole frame has arrived.
        if (!m_fast && !reply.bytes.empty())
            std::this_thread::sleep_until(receivedBy);
        sendPaced(reply.bytes);
        if (reply.hangUp) {
            // Give the last answer time to reach the other side before the line drops.
            ::tcdrain(m_master);
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
            m_hungUp = true;
            ::close(m_master);
            m_master = -1;
            if (m_slaveKeeper >= 0)
                ::close(m_slaveKeeper);
            m_slaveKeeper = -1;
            return;
        }
    }
}

void PtyRadio::sendPaced(const std::vector<std::uint8_t>& bytes)
{
    const auto start = Clock::now();
    std::size_t sent = 0;
    while (sent < bytes.size() && !m_stop) {
        std::size_t due = bytes.size();
        if (!m_fast) {
            const auto elapsed = Clock::now() - start;
            due = std::min(bytes.size(), static_cast<std::size_t>(elapsed / ByteTime) + 1);
            if (due <= sent) {
                std::this_thread::sleep_until(start + ByteTime * static_cast<long long>(sent));
                continue;
            }
        }
        const ssize_t count = ::write(m_master, bytes.data() + sent, due - sent);
        if (count > 0) {
            sent += static_cast<std::size_t>(count);
        } else if (count < 0 && errno != EAGAIN && errno != EINTR) {
            return;
        } else {
            pollfd p{m_master, POLLOUT, 0};
            ::poll(&p, 1, 20);
        }
    }
}

void PtyRadio::setFaults(const RadioFaults& faults)
{
    std::lock_guard lock(m_mutex);
    m_radio.setFaults(faults);
}

RadioFaults PtyRadio::faults() const
{
    std::lock_guard lock(m_mutex);
    return m_radio.faults();
}

std::vector<Frame> PtyRadio::frames() const
{
    std::lock_guard lock(m_mutex);
    return m_radio.frames();
}

void PtyRadio::clearFrames()
{
    std::lock_guard lock(m_mutex);
    m_radio.clearFrames();
}

VirtualRadio::Memory PtyRadio::memory() const
{
    std::lock_guard lock(m_mutex);
    return m_radio.memory();
}

void PtyRadio::setMemory(const VirtualRadio::Memory& memory)
{
    std::lock_guard lock(m_mutex);
    m_radio.memory() = memory;
}

VirtualRadio PtyRadio::radio() const
{
    std::lock_guard lock(m_mutex);
    return m_radio;
}

}  // namespace tarn
