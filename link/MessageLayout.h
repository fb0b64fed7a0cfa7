// How the message dialog lays out its text: the point size by the text's length and the
// two-line split of a text too wide for the dialog. Lengths are counted in the bytes the
// text takes in the Chinese code page, one per ASCII character and two per other
// character, so the thresholds keep their meaning for Chinese and English texts alike.
#pragma once

#include <QString>
#include <QStringList>

#include <functional>

namespace tarn {

// Bytes of the text in the Chinese code page.
int messageByteLength(const QString& text);

// 19 point up to 12 bytes, 16 point up to 25 bytes, 12 point beyond.
int messagePointSize(const QString& text);

struct MessageLines {
    bool split = false;
    QString first;   // the whole text when not split
    QString second;  // drawn centred below the first line
};

// `fitsOnOneLine`: the whole text measured in the chosen font is not wider than the
// dialog. A text too wide and at least 24 bytes long is split near byte 23, at a blank
// when one is at byte 22, 23 or 24, never inside a character, and never inside a word of
// Latin letters when the first line holds a blank to break at instead.
MessageLines splitMessage(const QString& text, bool fitsOnOneLine);

// Width of a text in the dialog's message font.
using MessageWidth = std::function<int(const QString&)>;

// The text broken into lines no wider than `width` where it can be: at line feeds, at
// blanks and between Chinese characters, a word wider than a line between its characters.
// Blanks at a break are dropped; nothing else is lost.
QStringList wrapMessage(const QString& text, int width, const MessageWidth& measure);

}  // namespace tarn
