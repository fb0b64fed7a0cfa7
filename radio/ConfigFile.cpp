#include "radio/ConfigFile.h"

#include "radio/RadioImage.h"

#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <random>
#include <system_error>

namespace tarn {

namespace fs = std::filesystem;

namespace {

std::string systemReason(int error)
{
    return std::generic_category().message(error);
}

// A name beside the target that no other save (in this or another process) picks.
fs::path temporaryPathFor(const fs::path& target)
{
    static std::atomic<unsigned> counter{0};
    static const unsigned seed = std::random_device{}();
    const auto now = static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
    char suffix[64];
    std::snprintf(suffix, sizeof suffix, ".%08x%04x%llx.tmp", seed, counter++ & 0xFFFF, now & 0xFFFFFF);
    fs::path temporary = target;
    temporary.replace_filename("." + target.filename().string() + suffix);
    return temporary;
}

class FileCloser {
public:
    explicit FileCloser(std::FILE* file) : m_file(file) {}
    ~FileCloser()
    {
        if (m_file)
            std::fclose(m_file);
    }
    FileCloser(const FileCloser&) = delete;
    FileCloser& operator=(const FileCloser&) = delete;
    std::FILE* get() const { return m_file; }
    // Closes now and reports whether the buffered bytes reached the file.
    bool close()
    {
        std::FILE* file = m_file;
        m_file = nullptr;
        return std::fclose(file) == 0;
    }

private:
    std::FILE* m_file;
};

}  // namespace

std::string withTwExtension(const std::string& path)
{
    if (path.find(".tw") != std::string::npos)
        return path;
    return path + ".tw";
}

FileResult saveConfiguration(const std::string& path, const RadioImage& image)
{
    if (path.empty())
        return {FileOutcome::CannotWrite, systemReason(ENOENT)};
    // Saving through a link updates the file it points to and keeps the link.
    fs::path target(path);
    std::error_code linkError;
    if (fs::is_symlink(target, linkError)) {
        const fs::path resolved = fs::weakly_canonical(target, linkError);
        if (!linkError)
            target = resolved;
    }

    // The bytes go to a fresh file beside the target and replace it only when all of them
    // are written, so a full disk or a lost drive never leaves a truncated configuration.
    const fs::path temporary = temporaryPathFor(target);
    errno = 0;
    std::FILE* raw = std::fopen(temporary.string().c_str(), "wbx");
    if (!raw)
        return {FileOutcome::CannotWrite, systemReason(errno ? errno : EIO)};
    FileCloser file(raw);

    auto fail = [&temporary](int error) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return FileResult{FileOutcome::CannotWrite, systemReason(error ? error : EIO)};
    };

    errno = 0;
    if (std::fwrite(ConfigMagic.data(), 1, ConfigMagic.size(), file.get()) != ConfigMagic.size())
        return fail(errno);
    errno = 0;
    if (std::fwrite(image.data(), 1, RadioImage::Size, file.get()) != static_cast<std::size_t>(RadioImage::Size))
        return fail(errno);
    errno = 0;
    if (std::fflush(file.get()) != 0)
        return fail(errno);
    errno = 0;
    if (!file.close())
        return fail(errno);

    // The replacement keeps the access rights the user gave the old file.
    std::error_code statusError;
    const fs::file_status old = fs::status(target, statusError);
    if (!statusError && fs::is_regular_file(old)) {
        std::error_code ignored;
        fs::permissions(temporary, old.permissions(), fs::perm_options::replace, ignored);
    }

    std::error_code error;
    fs::rename(temporary, target, error);
    if (error) {
        std::error_code ignored;
        fs::remove(temporary, ignored);
        return {FileOutcome::CannotWrite, error.message()};
    }
    return {FileOutcome::Saved, {}};
}

FileResult loadConfiguration(const std::string& path, RadioImage& image)
{
    std::error_code error;
    if (fs::is_directory(fs::path(path), error))
        return {FileOutcome::CannotOpen, systemReason(EISDIR)};

    errno = 0;
    std::FILE* raw = std::fopen(path.c_str(), "rb");
    if (!raw)
        return {FileOutcome::CannotOpen, systemReason(errno ? errno : ENOENT)};
    FileCloser file(raw);

    // Compared as text: a zero byte ends it early, so "TZ31\0" is not a match either.
    char magic[6] = {};
    const std::size_t got = std::fread(magic, 1, ConfigMagic.size(), file.get());
    if (got < ConfigMagic.size() && std::ferror(file.get()))
        return {FileOutcome::CannotOpen, systemReason(errno ? errno : EIO)};
    if (std::string_view(magic) != ConfigMagic)
        return {FileOutcome::NotTarnFile, {}};

    // A short file fills what it holds; the rest of the image keeps its contents.
    for (const layout::FileSpan& span : layout::FileReads)
        std::fread(image.data() + span.offset, 1, static_cast<std::size_t>(span.length), file.get());
    return {FileOutcome::Loaded, {}};
}

FileResult loadWholeConfiguration(const std::string& path, RadioImage& image)
{
    const FileResult result = loadConfiguration(path, image);
    if (result.outcome != FileOutcome::Loaded)
        return result;
    std::FILE* raw = std::fopen(path.c_str(), "rb");
    if (!raw)
        return result;
    FileCloser file(raw);
    if (std::fseek(file.get(), static_cast<long>(ConfigMagic.size() + layout::FileBodyLoaded), SEEK_SET) == 0)
        std::fread(image.data() + layout::FileBodyLoaded, 1,
                   static_cast<std::size_t>(RadioImage::Size - layout::FileBodyLoaded), file.get());
    return result;
}

std::string NotTarnFileText(const LanguageText& text)
{
    constexpr int WrongFileString = 31;
    return text ? text(WrongFileString) : std::string();
}

}  // namespace tarn
