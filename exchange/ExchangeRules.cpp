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

std::optional<long long> SignedFrequencyTenHz(std::string_view text)
{
    const bool negative = !text.empty() && text[0] == '-';
    if (!text.empty() && (text[0] == '-' || text[0] == '+'))
        text.remove_prefix(1);
    const auto value = FrequencyTenHz(text);
    if (!value)
        return std::nullopt;
    return negative ? -*value : *value;
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

std::string PrintableText(std::string_view text)
{
    std::string printable;
    printable.reserve(text.size());
    auto escape = [&printable](unsigned char c) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02X", c);
        printable += hex;
    };
    for (std::size_t i = 0; i < text.size();) {
        const auto c = static_cast<unsigned char>(text[i]);
        if (c < 0x80) {
            if (c < 0x20 || c == 0x7F)
                escape(c);
            else
                printable += static_cast<char>(c);
            ++i;
            continue;
        }
        // A whole UTF-8 sequence of a printable character stays as it is.
        const std::size_t length = c >= 0xF0 && c <= 0xF4 ? 4 : c >= 0xE0 && c <= 0xEF ? 3 : c >= 0xC2 && c <= 0xDF ? 2 : 0;
        bool whole = length > 0 && i + length <= text.size();
        for (std::size_t k = 1; whole && k < length; ++k)
            whole = (static_cast<unsigned char>(text[i + k]) & 0xC0) == 0x80;
        if (whole && length == 3) {
            const auto second = static_cast<unsigned char>(text[i + 1]);
            whole = !(c == 0xE0 && second < 0xA0) && !(c == 0xED && second >= 0xA0);  // overlong, surrogate
        } else if (whole && length == 4) {
            const auto second = static_cast<unsigned char>(text[i + 1]);
            whole = !(c == 0xF0 && second < 0x90) && !(c == 0xF4 && second >= 0x90);
        }
        const bool c1 = length == 2 && c == 0xC2 && i + 1 < text.size() && static_cast<unsigned char>(text[i + 1]) < 0xA0;
        if (!whole || c1) {
            escape(c);
            ++i;
            continue;
        }
        printable.append(text.substr(i, length));
        i += length;
    }
    return printable;
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
