#include "radio/ConfigFile.h"

#include "radio/RadioImage.h"

#include <algorithm>
#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <random>
#include <system_error>
#include <vector>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace tarn {

namespace fs = std::filesystem;

namespace {

std::string systemReason(int error)
{
    return std::generic_category().message(error);
}

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

// A short hidden name for the file a save writes first: short, so that a target name near
// the system's length limit still leaves room for it.
std::string temporaryName()
{
    static std::atomic<unsigned> counter{0};
    static const unsigned seed = std::random_device{}();
    const auto now = static_cast<unsigned>(std::chrono::steady_clock::now().time_since_epoch().count());
    char name[32];
    std::snprintf(name, sizeof name, ".tw%08x.tmp", seed ^ (now * 2654435761u) ^ (counter++ * 40503u));
    return name;
}

// The bytes of a configuration file: the magic, then the image.
std::vector<std::uint8_t> fileBytes(const RadioImage& image)
{
    std::vector<std::uint8_t> bytes(ConfigMagic.begin(), ConfigMagic.end());
    bytes.insert(bytes.end(), image.data(), image.data() + RadioImage::Size);
    return bytes;
}

// Where a save goes: the target after links, whether it is there, and its access rights.
struct SaveTarget {
    fs::path path;
    fs::path folder;
    bool exists = false;
    unsigned mode = 0666;
};

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

// Empty when a save may replace or create `path`, else the reason it may not.
std::string resolveSaveTarget(const std::string& path, SaveTarget& target)
{
    if (path.empty())
        return systemReason(ENOENT);
    std::error_code error;
    target.path = fs::path(path);
    // Saving through a link updates the file it points to and keeps the link.
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
#ifndef _WIN32
        if (::access(target.path.c_str(), W_OK) != 0)
            return systemReason(errno);
#endif
    }
    const fs::file_status folder = fs::status(target.folder, error);
    if (error)
        return error.message();
    if (!fs::is_directory(folder))
        return systemReason(ENOTDIR);
    return {};
}

#ifndef _WIN32

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
fs::path createTemporary(const SaveTarget& target, Descriptor& fd)
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

bool writeFully(int fd, const std::uint8_t* bytes, std::size_t n)
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

#endif

FileResult saveChecked(const SaveTarget& target, const RadioImage& image)
{
    const std::vector<std::uint8_t> bytes = fileBytes(image);
#ifndef _WIN32
    // The bytes go to a fresh file beside the target and replace it only when all of them
    // are on disk, so a full disk or a lost drive never leaves a truncated configuration.
    Descriptor fd;
    errno = 0;
    const fs::path temporary = createTemporary(target, fd);
    if (temporary.empty())
        return {FileOutcome::CannotWrite, systemReason(errno ? errno : EIO)};
    auto fail = [&temporary](int error) {
        ::unlink(temporary.c_str());
        return FileResult{FileOutcome::CannotWrite, systemReason(error ? error : EIO)};
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
    return {FileOutcome::Saved, {}};
#else
    const fs::path temporary = target.folder / temporaryName();
    std::FILE* file = _wfopen(temporary.c_str(), L"wbx");
    if (!file)
        return {FileOutcome::CannotWrite, systemReason(errno ? errno : EIO)};
    const bool written = std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size()
        && std::fflush(file) == 0;
    const int error = errno;
    if (std::fclose(file) != 0 || !written) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return {FileOutcome::CannotWrite, systemReason(error ? error : EIO)};
    }
    std::error_code renameError;
    fs::rename(temporary, target.path, renameError);
    if (renameError) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return {FileOutcome::CannotWrite, renameError.message()};
    }
    return {FileOutcome::Saved, {}};
#endif
}

}  // namespace

std::string withTwExtension(const std::string& path)
{
    if (path.find(".tw") != std::string::npos)
        return path;
    return path + ".tw";
}

FileResult saveConfiguration(const std::string& path, const RadioImage& image)
{
    try {
        SaveTarget target;
        const std::string problem = resolveSaveTarget(path, target);
        if (!problem.empty())
            return {FileOutcome::CannotWrite, problem};
        return saveChecked(target, image);
    } catch (...) {
        return {FileOutcome::CannotWrite, exceptionReason()};
    }
}

std::string saveTargetProblem(const std::string& path)
{
    try {
        SaveTarget target;
        std::string problem = resolveSaveTarget(path, target);
        if (!problem.empty())
            return problem;
#ifndef _WIN32
        // The folder may still refuse new files (rights, a read-only file system).
        Descriptor fd;
        errno = 0;
        const fs::path trial = createTemporary(target, fd);
        if (trial.empty())
            return systemReason(errno ? errno : EIO);
        ::unlink(trial.c_str());
#endif
        return {};
    } catch (...) {
        return exceptionReason();
    }
}

FileOutcome loadConfigurationBytes(const std::uint8_t* bytes, std::size_t size, RadioImage& image)
{
    // Compared as text: a zero byte ends it early, so "TZ31\0" is not a match either.
    char magic[6] = {};
    std::copy_n(bytes, std::min(size, ConfigMagic.size()), magic);
    if (std::string_view(magic) != ConfigMagic)
        return FileOutcome::NotTarnFile;

    // A short file fills what it holds; the rest of the image keeps its contents.
    const std::size_t body = size - ConfigMagic.size();
    std::size_t at = 0;
    for (const layout::FileSpan& span : layout::FileReads) {
        const std::size_t length = static_cast<std::size_t>(span.length);
        const std::size_t available = at < body ? std::min(length, body - at) : 0;
        std::copy_n(bytes + ConfigMagic.size() + at, available, image.data() + span.offset);
        at += length;
    }
    return FileOutcome::Loaded;
}

namespace {

// Reads up to bytes.size() bytes of a regular file into `bytes`; `got` says how many came.
// The outcome is Loaded when the file could be read, CannotOpen with the reason otherwise.
FileResult readConfigurationFile(const std::string& path, std::vector<std::uint8_t>& bytes, std::size_t& got)
{
    try {
        // A FIFO without a writer or a device would block the open or the read: only
        // regular files are opened at all.
        std::error_code error;
        const fs::file_status status = fs::status(fs::path(path), error);
        if (error)
            return {FileOutcome::CannotOpen, error.message()};
        if (!fs::is_regular_file(status))
            return {FileOutcome::CannotOpen, notAFile(status.type())};

        got = 0;
#ifndef _WIN32
        // Non-blocking, should the name have been swapped for a FIFO since the check.
        Descriptor fd(::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC));
        if (fd.get() < 0)
            return {FileOutcome::CannotOpen, systemReason(errno)};
        struct stat opened {};
        if (::fstat(fd.get(), &opened) != 0 || !S_ISREG(opened.st_mode))
            return {FileOutcome::CannotOpen, notAFile(fs::file_type::unknown)};
        while (got < bytes.size()) {
            const ssize_t count = ::read(fd.get(), bytes.data() + got, bytes.size() - got);
            if (count < 0 && errno == EINTR)
                continue;
            if (count < 0) {
                if (got < ConfigMagic.size())
                    return {FileOutcome::CannotOpen, systemReason(errno)};
                break;
            }
            if (count == 0)
                break;
            got += static_cast<std::size_t>(count);
        }
#else
        std::FILE* file = _wfopen(fs::path(path).c_str(), L"rb");
        if (!file)
            return {FileOutcome::CannotOpen, systemReason(errno ? errno : ENOENT)};
        got = std::fread(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
#endif
        return {FileOutcome::Loaded, {}};
    } catch (...) {
        return {FileOutcome::CannotOpen, exceptionReason()};
    }
}

}  // namespace

FileResult loadConfiguration(const std::string& path, RadioImage& image)
{
    std::vector<std::uint8_t> bytes(ConfigMagic.size() + layout::FileBodyLoaded);
    std::size_t got = 0;
    const FileResult read = readConfigurationFile(path, bytes, got);
    if (read.outcome != FileOutcome::Loaded)
        return read;
    return {loadConfigurationBytes(bytes.data(), got, image), {}};
}

FileResult loadWholeConfiguration(const std::string& path, RadioImage& image)
{
    std::vector<std::uint8_t> bytes(ConfigMagic.size() + RadioImage::Size);
    std::size_t got = 0;
    const FileResult read = readConfigurationFile(path, bytes, got);
    if (read.outcome != FileOutcome::Loaded)
        return read;
    const FileOutcome outcome = loadConfigurationBytes(bytes.data(), got, image);
    // The scratch block and the tail, which an ordinary load leaves as they were.
    const std::size_t whole = ConfigMagic.size() + layout::FileBodyLoaded;
    if (outcome == FileOutcome::Loaded && got > whole)
        std::copy_n(bytes.data() + whole, got - whole, image.data() + layout::FileBodyLoaded);
    return {outcome, {}};
}

std::string NotTarnFileText(const LanguageText& text)
{
    constexpr int WrongFileString = 31;
    return text ? text(WrongFileString) : std::string();
}

}  // namespace tarn
