// The configuration file (".tw"): the magic "TZ318" followed by the 5284-byte image.
// Saved and read through the safe writer and reader (radio/SafeFile.h): a save that fails
// leaves the file that was there untouched, and a save that succeeded survives a power cut.
#pragma once

#include "radio/LanguageText.h"
#include "radio/RadioLayout.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tarn {

class RadioImage;

inline constexpr std::string_view ConfigMagic = "TZ318";
inline constexpr int ConfigFileSize = static_cast<int>(ConfigMagic.size()) + layout::ImageSize;

enum class FileOutcome {
    Loaded,       // the magic matched; the body was read as far as the file goes
    Saved,        // every byte is on disk under the chosen name
    CannotOpen,   // the file could not be opened for reading (nothing changed)
    NotTarnFile,  // the first five bytes are not "TZ318" (the image is unchanged)
    CannotWrite   // the save failed; `reason` holds the system's words; the old file is intact
};

struct FileResult {
    FileOutcome outcome;
    std::string reason;  // the system's reason, for CannotOpen and CannotWrite
    bool inPlace = false;  // Saved (or failed) by overwriting the file where it is: not atomic
};

// The ".tw" rule: append ".tw" unless the path contains ".tw" anywhere (case-sensitive).
std::string withTwExtension(const std::string& path);

// Writes magic + image to `path` as given (the caller applies withTwExtension), as
// writeFileSafely does: through a symbolic link the linked file is replaced; refused, with the
// file left as it is, a target that is not a regular file (folder, device, FIFO, a link to
// nothing) or that its mode makes read-only; in a folder that takes no new file, a writable
// file is overwritten in place (`inPlace`), which the user is to be told.
FileResult saveConfiguration(const std::string& path, const RadioImage& image);
// Whether a save to `path` could go ahead now (writeTargetProblem): empty, or the reason.
std::string saveTargetProblem(const std::string& path);
// Reads image bytes 0-4623 from the file's body; the scratch block and the tail keep their
// contents; a short file fills what it holds. Anything but a regular file (a folder, a
// device, a FIFO) is refused at once, without waiting for it.
FileResult loadConfiguration(const std::string& path, RadioImage& image);
// The same rules over the bytes of a file already read: Loaded or NotTarnFile.
FileOutcome loadConfigurationBytes(const std::uint8_t* bytes, std::size_t size, RadioImage& image);

// As loadConfiguration, and then the scratch block and the tail as the file holds them too:
// for tools that make a new file from an old one and must carry every byte.
FileResult loadWholeConfiguration(const std::string& path, RadioImage& image);

// What the user is told when a file opened as a configuration is not one.
std::string NotTarnFileText(const LanguageText& text);

}  // namespace tarn
