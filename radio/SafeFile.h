// The one writer of every file Tarn writes and the one reader of every file it reads whole.
// A write never leaves a half-written file behind, and a read never waits on a FIFO or a device.
#pragma once

#include "radio/LanguageText.h"

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tarn {

// The largest input read whole; a CSV of all 128 channels is about 20 kB, a text form 40 kB.
inline constexpr std::uintmax_t InputSizeLimit = 16u * 1024u * 1024u;

struct WriteResult {
    bool written = false;
    // The folder takes no new file, so the file was overwritten where it is: not atomic.
    // When such a write fails, the old file may be damaged.
    bool inPlace = false;
    std::string reason;  // the system's reason when not written ("No space left on device")
};

// Writes `bytes` as the file `path`: a fresh file in the same folder with the target's access
// rights, every write checked, flushed to disk, renamed over the target, the folder flushed.
// On any failure the old file is byte for byte as it was. Through a symbolic link the linked
// file is replaced. Refused: a target that is not a regular file (folder, device, FIFO, a link
// to nothing) or that its mode makes read-only. A writable file in a folder that takes no new
// file is overwritten in place once the room for the new bytes is reserved (`inPlace`).
WriteResult writeFileSafely(const std::string& path, std::string_view bytes);

// As writeFileSafely, except that a character device or a FIFO (a terminal, /dev/stdout, a
// pipe) is written straight through, every write checked. A FIFO nobody reads is refused
// at once instead of waiting.
WriteResult writeOutput(const std::string& path, std::string_view bytes);

// Empty when writeFileSafely(path, ...) could go ahead now (the checks above, and a trial file
// made and removed in the folder, or an overwrite in place allowed), else the reason.
std::string writeTargetProblem(const std::string& path);

struct ReadResult {
    bool ok = false;
    std::string bytes;
    std::string reason;           // why not, in the system's words or ours
    std::uintmax_t tooLarge = 0;  // the size of a file refused for being over InputSizeLimit
};

// The whole of a regular file of at most InputSizeLimit bytes. A folder, a device or a FIFO
// is refused at once, without waiting for data that may never come.
ReadResult readInputFile(const std::string& path);

// The first `most` bytes of a regular file, whatever its length (less when it is shorter);
// the same refusals.
ReadResult readFileStart(const std::string& path, std::size_t most);

// The reason given for an input over InputSizeLimit: its size and the bound.
std::string inputTooLargeReason(std::uintmax_t size);

// What the user is told about an input over InputSizeLimit (language strings 321 and 322
// around the size in MB) and about a file saved in place (language string 320).
std::string InputTooLargeText(const LanguageText& text, std::uintmax_t size);
std::string SavedInPlaceText(const LanguageText& text);

}  // namespace tarn
