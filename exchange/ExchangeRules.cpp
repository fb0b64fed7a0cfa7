#include "exchange/ExchangeRules.h"

#include "radio/Codecs.h"

#include <cstdio>

namespace tarn {

namespace {
constexpr long long TenHzPerMHz = 100000;
}

const ChannelWords& ExchangeWords()
{
    static const ChannelWords words{"High", "Low", "No", "Yes", "Off", "On", "Off", "Carrier"};
    return words;
}

std::optional<long long> FrequencyTenHz(std::string_view text)
{
    long long whole = 0;
    long long fraction = 0;
    int decimals = 0;
    bool point = false;
    bool digits = false;
    for (char c : text) {
        if (c == '.' && !point) {
            point = true;
        } else if (c >= '0' && c <= '9') {
            digits = true;
            if (!point) {
                whole = whole * 10 + (c - '0');
                if (whole > 100000)
                    return std::nullopt;
            } else if (decimals < 5) {
                fraction = fraction * 10 + (c - '0');
                ++decimals;
            } else if (c != '0') {
                return std::nullopt;
            }
        } else {
            return std::nullopt;
        }
    }
    if (!digits)
        return std::nullopt;
    for (; decimals < 5; ++decimals)
        fraction *= 10;
    return whole * TenHzPerMHz + fraction;
}

std::string FrequencyMHzText(long long tenHz, int decimals)
{
    char text[32];
    std::snprintf(text, sizeof text, "%lld.%05lld%s", tenHz / TenHzPerMHz, tenHz % TenHzPerMHz, decimals > 5 ? "0" : "");
    return text;
}

std::optional<std::string> ChannelFrequencyText(const std::string& what, const std::string& text, std::string* reason)
{
    const auto tenHz = FrequencyTenHz(text);
    if (!tenHz) {
        *reason = what + " '" + text + "' is not a frequency in MHz on the radio's 10 Hz steps";
        return std::nullopt;
    }
    if (*tenHz < 100 * TenHzPerMHz || *tenHz >= 601 * TenHzPerMHz) {
        *reason = what + " " + text + " MHz is outside 100-600 MHz";
        return std::nullopt;
    }
    const std::string shown = FrequencyMHzText(*tenHz, 5);
    std::string normalized = shown;
    NormalizeFrequencyText(normalized, -1);
    if (normalized != shown) {
        *reason = what + " " + text + " MHz is not on the 2.5 kHz or 6.25 kHz channel grid";
        return std::nullopt;
    }
    return shown;
}

void SetBandLimitMHz(RadioImage& image, int k, int mhz)
{
    // Four decimal digits as the four nibbles of a big-endian word: 174 -> 01 74.
    const int high = (mhz / 1000 % 10) << 4 | (mhz / 100 % 10);
    const int low = (mhz / 10 % 10) << 4 | (mhz % 10);
    image.bandLimitData()[2 * k] = static_cast<std::uint8_t>(high);
    image.bandLimitData()[2 * k + 1] = static_cast<std::uint8_t>(low);
}

}  // namespace tarn
