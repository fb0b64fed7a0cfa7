// The YAML text form import over any text: a refused text leaves the image as it was and
// says where it failed; an accepted one held nothing that was dropped (one document, and in
// every map each key finds its own value, so no key stood twice) and gives an image whose
// own export reads back onto it unchanged.
#include "exchange/TextForm.h"
#include "radio/RadioImage.h"

#include <yaml-cpp/yaml.h>

#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

namespace {

// False when a map of the tree has a key whose lookup finds another entry's value: the
// reader would have taken that one and dropped the other. `budget` bounds the walk, since
// aliases can make a small text a very large tree.
bool everyKeyFindsItsValue(const YAML::Node& node, int& budget)
{
    if (--budget < 0)
        return true;
    if (node.IsSequence()) {
        for (const YAML::Node& item : node)
            if (!everyKeyFindsItsValue(item, budget))
                return false;
    } else if (node.IsMap()) {
        for (const auto& entry : node) {
            if (entry.first.IsScalar() && !node[entry.first.Scalar()].is(entry.second))
                return false;
            if (!everyKeyFindsItsValue(entry.second, budget))
                return false;
        }
    }
    return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string_view text(reinterpret_cast<const char*>(data), data ? size : 0);
    tarn::RadioImage image;
    image.resetToDefaults();
    const tarn::RadioImage before = image;
    const tarn::TextFormResult result = tarn::ImportTextForm(text, image);
    if (!result.ok) {
        if (result.error.empty() || !(image == before))
            std::abort();
        return 0;
    }
    const std::vector<YAML::Node> documents = YAML::LoadAll(std::string(text));
    int budget = 100000;
    if (documents.size() > 1 || (documents.size() == 1 && !everyKeyFindsItsValue(documents[0], budget)))
        std::abort();

    const tarn::RadioImage imported = image;
    const tarn::TextFormResult again = tarn::ImportTextForm(tarn::ExportTextForm(imported), image);
    if (!again.ok || !(image == imported))
        std::abort();
    return 0;
}
