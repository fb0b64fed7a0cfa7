// The port numbers the program knows: COM1 to COM20. The transfer's scan, the port map and
// the port dialog all cover this one range.
#pragma once

namespace tarn {

inline constexpr int FirstPort = 1;
inline constexpr int LastPort = 20;
inline constexpr int PortCount = LastPort - FirstPort + 1;

}  // namespace tarn
