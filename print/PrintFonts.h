// The printout's typefaces, chosen in this one place: the fixed-pitch face stands for the
// "FixedSys" of the header and the measuring, the CJK serif face for the "宋体" of the
// tables. Both come from Debian font packages that scripts/deps.sh installs.
#pragma once

#include "print/PrintLayout.h"

#include <QFont>

namespace tarn::print {

inline constexpr const char* FixedPitchFamily = "DejaVu Sans Mono";  // fonts-dejavu-core
inline constexpr const char* SerifFamily = "AR PL UMing CN";  // fonts-arphic-uming, a Ming (Song) face

QFont printFont(PrintFont font);

}  // namespace tarn::print
