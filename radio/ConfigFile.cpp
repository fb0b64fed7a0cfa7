#include "radio/ConfigFile.h"

#include "radio/RadioImage.h"
#include "radio/SafeFile.h"

#include <algorithm>
#include <string>

namespace tarn {

namespace {

// The bytes of a configuration file: the magic, then the image.
std::string fileBytes(const RadioImage& image)
{
    std::string bytes(ConfigMagic);
    bytes.append(reinterpret_cast<const char*>(image.data()), RadioImage::Size);
    return bytes;
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
    const WriteResult written = writeFileSafely(path, fileBytes(image));
    FileResult result{written.written ? FileOutcome::Saved : FileOutcome::CannotWrite, written.reason};
    result.inPlace = written.inPlace;
    return result;
}

std::string saveTargetProblem(const std::string& path)
{
    return writeTargetProblem(path);
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

FileResult loadConfiguration(const std::string& path, RadioImage& image)
{
    const ReadResult read = readFileStart(path, ConfigMagic.size() + layout::FileBodyLoaded);
    if (!read.ok)
        return {FileOutcome::CannotOpen, read.reason};
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(read.bytes.data());
    return {loadConfigurationBytes(bytes, read.bytes.size(), image), {}};
}

FileResult loadWholeConfiguration(const std::string& path, RadioImage& image)
{
    const ReadResult read = readFileStart(path, ConfigMagic.size() + RadioImage::Size);
    if (!read.ok)
        return {FileOutcome::CannotOpen, read.reason};
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(read.bytes.data());
    const std::size_t got = read.bytes.size();
    const FileOutcome outcome = loadConfigurationBytes(bytes, got, image);
    // The scratch block and the tail, which an ordinary load leaves as they were.
    const std::size_t whole = ConfigMagic.size() + layout::FileBodyLoaded;
    if (outcome == FileOutcome::Loaded && got > whole)
        std::copy_n(bytes + whole, got - whole, image.data() + layout::FileBodyLoaded);
    return {outcome, {}};
}

std::string NotTarnFileText(const LanguageText& text)
{
    constexpr int WrongFileString = 31;
    return text ? text(WrongFileString) : std::string();
}

}  // namespace tarn
