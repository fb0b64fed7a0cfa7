#include "radio/SafeFile.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <exception>
#include <filesystem>
#include <new>
#include <random>
#include <system_error>

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace tarn {

namespace fs = std::filesystem;

namespace {

std::string systemReason(int error)
{
    return std::generic_category().message(error ? error : EIO);
}

// The reason of the exception being handled, for the callers that must not throw.
std::string exceptionReason()
{
    try {
        throw;
    } catch (const std::bad_alloc&) {
        return systemReason(ENOMEM);
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return systemReason(EIO);
    }
}

std::string notAFile(fs::file_type type)
{
    switch (type) {
    case fs::file_type::directory:
        return systemReason(EISDIR);
    case fs::file_type::fifo:
        return "it is a FIFO, not a file";
    case fs::file_type::character:
    case fs::file_type::block:
        return "it is a device, not a file";
    case fs::file_type::socket:
        return "it is a socket, not a file";
    default:
        return "it is not a regular file";
    }
}

// A short hidden name for the file a write makes first: short, so that a target name near
// the system's length limit still leaves room for it.
std::string temporaryName()
{
    static std::atomic<unsigned> counter{0};
    static const unsigned seed = std::random_device{}();
    const auto now = static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count());
    char name[32];
    std::snprintf(name, sizeof name, ".tarn%08x.tmp", seed ^ (now * 2654435761u) ^ (counter++ * 40503u));
    return name;
}

// Where a write goes: the target after links, whether it is there, and its access rights.
struct WriteTarget {
    fs::path path;
    fs::path folder;
    bool exists = false;
    unsigned mode = 0666;
};

// Empty when a write may replace or create `path`, else the reason it may not.
std::string resolveWriteTarget(const std::string& path, WriteTarget& target)
{
    if (path.empty())
        return systemReason(ENOENT);
    std::error_code error;
    target.path = fs::path(path);
    // Writing through a link updates the file it points to and keeps the link.
    if (fs::is_symlink(fs::symlink_status(target.path, error))) {
        const fs::path resolved = fs::canonical(target.path, error);
        if (error)
            return error == std::errc::no_such_file_or_directory ? "it is a link to a file that does not exist"
                                                                  : error.message();
        target.path = resolved;
    }
    target.folder = target.path.parent_path();
    if (target.folder.empty())
        target.folder = ".";

    const fs::file_status status = fs::status(target.path, error);
    if (error && error != std::errc::no_such_file_or_directory)
        return error.message();
    target.exists = fs::exists(status);
    if (target.exists) {
        if (!fs::is_regular_file(status))
            return notAFile(status.type());
        target.mode = static_cast<unsigned>(status.permissions()) & 0777;
        // A file nobody may write is kept as it is, also for a user whose rights would let
        // the rename replace it.
        if ((target.mode & 0222) == 0)
            return systemReason(EACCES);
        if (::access(target.path.c_str(), W_OK) != 0)
            return systemReason(errno);
    }
    const fs::file_status folder = fs::status(target.folder, error);
    if (error)
        return error.message();
    if (!fs::is_directory(folder))
        return systemReason(ENOTDIR);
    return {};
}

class Descriptor {
public:
    explicit Descriptor(int fd = -1) : m_fd(fd) {}
    ~Descriptor()
    {
        if (m_fd >= 0)
            ::close(m_fd);
    }
    Descriptor(const Descriptor&) = delete;
    Descriptor& operator=(const Descriptor&) = delete;
    int get() const { return m_fd; }
    void reset(int fd = -1)
    {
        if (m_fd >= 0)
            ::close(m_fd);
        m_fd = fd;
    }
    // Closes now; false when the system reports that buffered bytes were lost.
    bool close()
    {
        const int fd = m_fd;
        m_fd = -1;
        return ::close(fd) == 0 || errno == EINTR;
    }

private:
    int m_fd;
};

// Creates a fresh temporary file in the target's folder, with the target's access rights
// (never wider) from the start. Empty path and errno set when it cannot.
fs::path createTemporary(const WriteTarget& target, Descriptor& fd)
{
    for (int attempt = 0; attempt < 64; ++attempt) {
        fs::path temporary = target.folder / temporaryName();
        const int created = ::open(temporary.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC | O_NOFOLLOW,
                                   static_cast<mode_t>(target.mode));
        if (created >= 0) {
            fd.reset(created);
            // The process's mask may have taken bits away; put back exactly the old file's.
            if (target.exists && ::fchmod(created, static_cast<mode_t>(target.mode)) != 0) {
                const int error = errno;
                fd.reset();
                ::unlink(temporary.c_str());
                errno = error;
                return {};
            }
            return temporary;
        }
        if (errno != EEXIST)
            return {};
    }
    errno = EEXIST;
    return {};
}

bool writeFully(int fd, const char* bytes, std::size_t n)
{
    while (n > 0) {
        const ssize_t written = ::write(fd, bytes, n);
        if (written < 0) {
            if (errno == EINTR)
                continue;
            return false;
        }
        if (written == 0) {
            errno = EIO;
            return false;
        }
        bytes += written;
        n -= static_cast<std::size_t>(written);
    }
    return true;
}

void syncFolder(const fs::path& folder)
{
    // The rename is on disk only when the folder is; some file systems cannot sync a folder,
    // and the file itself already is.
    const int fd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0)
        return;
    ::fsync(fd);
    ::close(fd);
}

WriteResult failed(int error, bool inPlace = false)
{
    return {false, inPlace, systemReason(error)};
}

// The file itself is rewritten: the room for the new bytes is reserved first, so a full disk
// or a size limit is found before a byte of the old file changes.
WriteResult writeInPlace(const WriteTarget& target, std::string_view bytes)
{
    // Non-blocking, should the name have been swapped for a FIFO since the checks.
    Descriptor fd(::open(target.path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0)
        return failed(errno);
    struct stat opened {};
    if (::fstat(fd.get(), &opened) != 0 || !S_ISREG(opened.st_mode))
        return {false, false, notAFile(fs::file_type::unknown)};
    const auto size = static_cast<off_t>(bytes.size());
    if (size > 0) {
        const int reserved = ::posix_fallocate(fd.get(), 0, size);
        if (reserved != 0 && reserved != EOPNOTSUPP && reserved != EINVAL && reserved != ENOSYS)
            return failed(reserved);
    }
    errno = 0;
    if (!writeFully(fd.get(), bytes.data(), bytes.size()))
        return failed(errno, true);
    if (::ftruncate(fd.get(), size) != 0 || ::fsync(fd.get()) != 0)
        return failed(errno, true);
    errno = 0;
    if (!fd.close())
        return failed(errno, true);
    return {true, true, {}};
}

WriteResult writeChecked(const WriteTarget& target, std::string_view bytes)
{
    // The bytes go to a fresh file beside the target and replace it only when all of them
    // are on disk, so a full disk or a lost drive never leaves a truncated file.
    Descriptor fd;
    errno = 0;
    const fs::path temporary = createTemporary(target, fd);
    if (temporary.empty()) {
        const int error = errno;
        // A folder the user may not add to can still hold a file the user may write.
        if (target.exists && (error == EACCES || error == EPERM))
            return writeInPlace(target, bytes);
        return failed(error);
    }
    auto fail = [&temporary](int error) {
        ::unlink(temporary.c_str());
        return failed(error);
    };
    errno = 0;
    if (!writeFully(fd.get(), bytes.data(), bytes.size()))
        return fail(errno);
    errno = 0;
    if (::fsync(fd.get()) != 0)
        return fail(errno);
    errno = 0;
    if (!fd.close())
        return fail(errno);
    if (::rename(temporary.c_str(), target.path.c_str()) != 0)
        return fail(errno);
    syncFolder(target.folder);
    return {true, false, {}};
}

// A device or a FIFO takes the bytes as they come; there is no old file to keep.
WriteResult writeStream(const std::string& path, fs::file_type type, std::string_view bytes)
{
    Descriptor fd(::open(path.c_str(), O_WRONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0) {
        if (errno == ENXIO && type == fs::file_type::fifo)
            return {false, false, "no program reads from the FIFO"};
        return failed(errno);
    }
    // Opened without waiting for a reader; the writes themselves may wait.
    const int flags = ::fcntl(fd.get(), F_GETFL);
    if (flags < 0 || ::fcntl(fd.get(), F_SETFL, flags & ~O_NONBLOCK) != 0)
        return failed(errno);
    errno = 0;
    if (!writeFully(fd.get(), bytes.data(), bytes.size()))
        return failed(errno);
    errno = 0;
    if (!fd.close())
        return failed(errno);
    return {true, false, {}};
}

ReadResult refused(std::string reason)
{
    ReadResult result;
    result.reason = std::move(reason);
    return result;
}

// Reads at most `most` bytes of a regular file; with `bounded`, a file over InputSizeLimit
// is refused instead.
ReadResult readRegular(const std::string& path, std::size_t most, bool bounded)
{
    // A FIFO without a writer or a device would block the open or the read: only regular
    // files are opened at all.
    std::error_code error;
    const fs::file_status status = fs::status(fs::path(path), error);
    if (error)
        return refused(error.message());
    if (!fs::is_regular_file(status))
        return refused(notAFile(status.type()));

    ReadResult result;
    auto tooLarge = [&result](std::uintmax_t size) {
        result.tooLarge = size;
        result.reason = inputTooLargeReason(size);
        result.bytes.clear();
        return result;
    };
    // Non-blocking, should the name have been swapped for a FIFO since the check.
    Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
    if (fd.get() < 0)
        return refused(systemReason(errno));
    struct stat opened {};
    if (::fstat(fd.get(), &opened) != 0 || !S_ISREG(opened.st_mode))
        return refused(notAFile(fs::file_type::unknown));
    const auto size = static_cast<std::uintmax_t>(opened.st_size);
    if (bounded && size > InputSizeLimit)
        return tooLarge(size);
    // The size said is only a hint: a file may grow while it is read, and some say 0.
    std::string& bytes = result.bytes;
    bytes.resize(static_cast<std::size_t>(std::min<std::uintmax_t>(most, size + 1)));
    std::size_t got = 0;
    while (got < most) {
        if (got == bytes.size())
            bytes.resize(std::min(most, bytes.size() + 65536));
        const ssize_t count = ::read(fd.get(), bytes.data() + got, bytes.size() - got);
        if (count < 0 && errno == EINTR)
            continue;
        if (count < 0)
            return refused(systemReason(errno));
        if (count == 0)
            break;
        got += static_cast<std::size_t>(count);
    }
    bytes.resize(got);
    if (bounded && result.bytes.size() > InputSizeLimit)
        return tooLarge(result.bytes.size());
    result.ok = true;
    return result;
}

}  // namespace

WriteResult writeFileSafely(const std::string& path, std::string_view bytes)
{
    try {
        WriteTarget target;
        const std::string problem = resolveWriteTarget(path, target);
        if (!problem.empty())
            return {false, false, problem};
        return writeChecked(target, bytes);
    } catch (...) {
        return {false, false, exceptionReason()};
    }
}

WriteResult writeOutput(const std::string& path, std::string_view bytes)
{
    try {
        std::error_code error;
        const fs::file_status status = fs::status(fs::path(path), error);
        if (!error && (status.type() == fs::file_type::character || status.type() == fs::file_type::fifo))
            return writeStream(path, status.type(), bytes);
        return writeFileSafely(path, bytes);
    } catch (...) {
        return {false, false, exceptionReason()};
    }
}

std::string writeTargetProblem(const std::string& path)
{
    try {
        WriteTarget target;
        std::string problem = resolveWriteTarget(path, target);
        if (!problem.empty())
            return problem;
        // The folder may still refuse new files (rights, a read-only file system); a file that
        // is there and writable is then overwritten in place.
        Descriptor fd;
        errno = 0;
        const fs::path trial = createTemporary(target, fd);
        if (trial.empty()) {
            const int error = errno;
            if (target.exists && (error == EACCES || error == EPERM))
                return {};
            return systemReason(error);
        }
        ::unlink(trial.c_str());
        return {};
    } catch (...) {
        return exceptionReason();
    }
}

ReadResult readInputFile(const std::string& path)
{
    try {
        return readRegular(path, static_cast<std::size_t>(InputSizeLimit) + 1, true);
    } catch (...) {
        return refused(exceptionReason());
    }
}

ReadResult readFileStart(const std::string& path, std::size_t most)
{
    try {
        return readRegular(path, most, false);
    } catch (...) {
        return refused(exceptionReason());
    }
}

namespace {

std::string megabytes(std::uintmax_t size)
{
    char text[32];
    std::snprintf(text, sizeof text, "%.1f", static_cast<double>(size) / (1024.0 * 1024.0));
    return text;
}

}  // namespace

std::string inputTooLargeReason(std::uintmax_t size)
{
    return "it is " + megabytes(size) + " MB; inputs over " + std::to_string(InputSizeLimit / (1024 * 1024))
        + " MB are not read";
}

std::string InputTooLargeText(const LanguageText& text, std::uintmax_t size)
{
    constexpr int TooLargeString = 321;
    constexpr int MegabytesString = 322;
    return text ? text(TooLargeString) + megabytes(size) + text(MegabytesString) : std::string();
}

std::string SavedInPlaceText(const LanguageText& text)
{
    constexpr int InPlaceString = 320;
    return text ? text(InPlaceString) : std::string();
}

}  // namespace tarn
