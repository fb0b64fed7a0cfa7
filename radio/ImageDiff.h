// Differences between two images by meaning: "Channel 12 Rx freq: 145.50000 in the file,
// 145.52500 in the radio" rather than offsets. Verify compares what a write would leave in
// the radio with what the radio holds; diff compares two configuration files. Any byte that
// no named field covers is still listed, by block and byte, so nothing differs unseen.
#pragma once

#include "radio/RadioImage.h"
#include "radio/LanguageText.h"

#include <string>
#include <vector>

namespace tarn {

// The words of the difference lines, and the names of the two sides ("in the file",
// "in the radio").
struct DiffWords {
    LanguageText text;
    std::string firstSide;
    std::string secondSide;
};

// The radio memory a write of `config` would leave behind, given what the radio holds now:
// `radio` with every byte a write sends taken from `config`, except the bytes a write takes
// from the radio itself (function settings bytes 38-39, start-up text bytes 6-15).
RadioImage ImageAsWritten(const RadioImage& config, const RadioImage& radio);

// True when data byte `dataByte` of a record of `region` goes to the radio from the image in
// a write.
bool IsWrittenFromImage(layout::RegionId region, int dataByte);

// The image bytes two configuration files are compared over: the port number, the block
// records and their headers up to the scratch block (a file load reads no further).
inline constexpr int ComparedLength = layout::FileBodyLoaded;

// One line per differing field, in the order of the pages: port number, channels, bands and
// settings, band limits, then any other differing byte.
std::vector<std::string> DescribeDifferences(const RadioImage& first, const RadioImage& second,
                                             const DiffWords& words);

// The same lines as what a change does: "Channel 5 Rx freq: 145.50000 -> 145.52500".
std::vector<std::string> DescribeChanges(const RadioImage& before, const RadioImage& after, const LanguageText& text);

// A 16-byte chunk a write sends: chunk `chunk` of record `record` of `region`.
struct ChunkPlace {
    layout::RegionId region;
    int record;
    int chunk;
    bool operator==(const ChunkPlace&) const = default;
};

// How many chunks a write of the whole image sends.
constexpr int wholeWriteChunks()
{
    int n = 0;
    for (layout::RegionId region : layout::TransferRegions)
        n += layout::Regions[region].records * layout::Regions[region].chunksWritten;
    return n;
}
inline constexpr int WholeWriteChunks = wholeWriteChunks();

// The chunks a write of `config` sends whose bytes differ from what `radio` holds there, with
// the bytes a write takes from the radio merged in; in the order a write sends them.
std::vector<ChunkPlace> ChangedChunks(const RadioImage& config, const RadioImage& radio);

}  // namespace tarn
