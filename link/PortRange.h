// The port numbers the program knows: COM1 to COM20. The transfer's scan, the port map and
// the port dialog all cover this one range.
#pragma once

#include <string>

namespace tarn {

inline constexpr int FirstPort = 1;
inline constexpr int LastPort = 20;
inline constexpr int PortCount = LastPort - FirstPort + 1;

// The name of port n the port map, the transfer and every report use: "COM3".
inline std::string PortName(int n)
{
    return "COM" + std::to_string(n);
}

}  // namespace tarn
