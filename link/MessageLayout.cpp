#include "link/MessageLayout.h"

#include <QList>

#include <string>

namespace tarn {

namespace {

int charBytes(char32_t c)
{
    return c < 0x80 ? 1 : 2;
}

}  // namespace

int messageByteLength(const QString& text)
{
    int bytes = 0;
    for (char32_t c : text.toUcs4())
        bytes += charBytes(c);
    return bytes;
}

int messagePointSize(const QString& text)
{
    const int bytes = messageByteLength(text);
    if (bytes <= 12)
        return 19;
    if (bytes <= 25)
        return 16;
    return 12;
}

MessageLines splitMessage(const QString& text, bool fitsOnOneLine)
{
    MessageLines lines;
    lines.first = text;
    if (fitsOnOneLine || messageByteLength(text) < 24)
        return lines;

    // The byte at each offset, 0 where the offset lies inside a two-byte character; and
    // the offsets where characters start.
    const QList<uint> chars = text.toUcs4();
    QList<int> starts;  // byte offset of each character
    int offset = 0;
    for (uint c : chars) {
        starts.append(offset);
        offset += charBytes(c);
    }
    auto blankAt = [&](int byte) {
        const qsizetype i = starts.indexOf(byte);
        return i >= 0 && chars[i] == ' ';
    };

    int p = 23;
    if (blankAt(22))
        p = 22;
    else if (blankAt(23))
        p = 24;
    else if (blankAt(24))
        p = 25;

    // A split that would cut a two-byte character moves that character to the second line.
    qsizetype firstChars = 0;
    while (firstChars < starts.size() && starts[firstChars] + charBytes(chars[firstChars]) <= p)
        ++firstChars;

    // The rule above was made for Chinese, where any character boundary will do. In a
    // Latin text it can land inside a word; the word then moves whole to the second line.
    auto inWord = [&](qsizetype i) { return i >= 0 && i < chars.size() && chars[i] < 0x80 && chars[i] != ' '; };
    if (inWord(firstChars - 1) && inWord(firstChars)) {
        qsizetype blank = firstChars - 1;
        while (blank > 0 && chars[blank] != ' ')
            --blank;
        if (blank > 0)
            firstChars = blank + 1;
    }

    lines.split = true;
    const std::u32string points(chars.begin(), chars.end());
    lines.first = QString::fromUcs4(points.data(), firstChars);
    lines.second = QString::fromUcs4(points.data() + firstChars, chars.size() - firstChars);
    return lines;
}

}  // namespace tarn
