#include "link/MessageLayout.h"

#include <QList>
#include <QTextBoundaryFinder>

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

QStringList wrapMessage(const QString& text, int width, const MessageWidth& measure)
{
    // A line feed always ends a line.
    if (text.contains(QLatin1Char('\n'))) {
        QStringList lines;
        for (const QString& paragraph : text.split(QLatin1Char('\n')))
            lines += wrapMessage(paragraph, width, measure);
        return lines;
    }

    // Where a line may end: Unicode's line-break opportunities (after a blank, between
    // ideographs), plus the end of the text.
    QList<qsizetype> breaks;
    QTextBoundaryFinder finder(QTextBoundaryFinder::Line, text);
    for (qsizetype at = finder.toNextBoundary(); at > 0; at = finder.toNextBoundary())
        breaks.append(at);
    if (breaks.isEmpty() || breaks.last() != text.size())
        breaks.append(text.size());

    QStringList lines;
    qsizetype start = 0;
    auto fits = [&](qsizetype end) { return measure(text.mid(start, end - start).trimmed()) <= width; };
    while (start < text.size()) {
        qsizetype end = -1;
        for (qsizetype at : breaks) {
            if (at <= start)
                continue;
            if (end >= 0 && !fits(at))
                break;
            end = at;
        }
        // One word wider than the line: as many of its characters as fit, at least one.
        if (!fits(end)) {
            end = start + 1;
            while (end < text.size() && fits(end + 1))
                ++end;
            if (end < text.size() && text.at(end - 1).isHighSurrogate())
                ++end;
        }
        const QString line = text.mid(start, end - start).trimmed();
        if (!line.isEmpty())
            lines.append(line);
        start = end;
    }
    return lines;
}

}  // namespace tarn
