// The toolbar's tool tips are the menu texts of the same commands, cut before the first
// "(" (where the Chinese texts carry their mnemonic), without the shortcut part and
// mnemonic markers a tool tip does not show.
#pragma once

#include <QString>

namespace tarn {

inline constexpr int MaxToolTipLength = 80;

QString toolTipFromMenuText(const QString& menuText);

}  // namespace tarn
