// What the exchange formats (CSV, the YAML text form) share: the fixed words they write for
// the channel options whatever the window's language, the checks of a frequency that comes
// from a file rather than from the keyboard, and how a message quotes what a file held.
#pragma once

#include "radio/ChannelRecord.h"

#include <optional>
#include <string>
#include <string_view>

namespace tarn {

// High/Low, No/Yes, Off/On, Off/Carrier: the option words of files, never translated.
const ChannelWords& ExchangeWords();

// A frequency text in MHz ("145.5", "145.500000") in 10 Hz units; nothing when it is not a
// plain decimal number or has a non-zero digit finer than 10 Hz.
std::optional<long long> FrequencyTenHz(std::string_view text);
// The same with a sign allowed first ("+0.6", "-7.6", "5"): an offset or a step typed or given.
std::optional<long long> SignedFrequencyTenHz(std::string_view text);
// 10 Hz units as MHz with `decimals` decimals (5 or 6).
std::string FrequencyMHzText(long long tenHz, int decimals);

// The channel row text ("145.50000") for a frequency from a file, when the channel page
// would keep it as it is: 100-600 MHz, on the 2.5 kHz or 6.25 kHz grid. Otherwise nothing,
// and `reason` says why, naming the value as `what`.
std::optional<std::string> ChannelFrequencyText(const std::string& what, const std::string& text,
                                                std::string* reason);

// A message text that is safe to print: control characters, C1 controls and bytes that are
// not UTF-8 (what a hostile file may hold to move a terminal's cursor) become "\xNN".
std::string PrintableText(std::string_view text);

// Band limit k (layout::limits::Index) set to whole MHz (0-9999), stored as the radio keeps it.
void SetBandLimitMHz(RadioImage& image, int k, int mhz);

}  // namespace tarn
