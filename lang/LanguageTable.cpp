#include "lang/LanguageTable.h"

#include <QStringDecoder>

#include <algorithm>
#include <string>

namespace tarn {

namespace {

bool isAscii(QByteArrayView line)
{
    return std::all_of(line.begin(), line.end(), [](char c) { return static_cast<unsigned char>(c) < 0x80; });
}

bool isUtf8(QByteArrayView line)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    const QString text = utf8.decode(line);  // decodes only when made a QString
    return !utf8.hasError();
}

}  // namespace

QString LanguageTable::decode(const QByteArray& bytes)
{
    const QList<QByteArray> lines = bytes.split('\n');
    // Tables written on the original platform are in the Chinese code page, whose texts are
    // almost never valid UTF-8: most of their lines beyond ASCII fail as UTF-8, where a
    // UTF-8 table has at most a stray broken line.
    int utf8Lines = 0;
    int otherLines = 0;
    for (const QByteArray& line : lines) {
        if (isAscii(line))
            continue;
        ++(isUtf8(line) ? utf8Lines : otherLines);
    }
    QStringDecoder legacy("GB18030", QStringDecoder::Flag::Stateless);
    const bool readLegacy = otherLines > utf8Lines && legacy.isValid();

    QString text;
    text.reserve(bytes.size());
    for (qsizetype i = 0; i < lines.size(); ++i) {
        if (i > 0)
            text += QLatin1Char('\n');
        const QByteArray& line = lines[i];
        if (readLegacy)
            text += legacy.decode(line);
        else
            text += QString::fromUtf8(line);  // a broken byte becomes U+FFFD, alone
    }
    return text;
}

QStringList LanguageTable::splitLines(const QString& text)
{
    QStringList lines = text.split(QLatin1Char('\n'));
    // A final line feed ends the last line; it does not start another one.
    if (!lines.isEmpty() && lines.last().isEmpty())
        lines.removeLast();
    for (QString& line : lines) {
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
    }
    return lines;
}

QStringList LanguageTable::splitFields(const QString& line)
{
    // Lengths count characters, not UTF-16 units: a field is collected as code points.
    const QList<uint> chars = line.toUcs4();
    QStringList fields;
    std::u32string field;
    auto endField = [&] {
        fields.append(QString::fromUcs4(field.data(), static_cast<qsizetype>(field.size())));
        field.clear();
    };
    qsizetype i = 0;
    const qsizetype n = chars.size();
    for (;;) {
        if (i >= n) {
            endField();
            break;
        }
        const char32_t c = static_cast<char32_t>(chars[i++]);
        if (c == U',') {
            endField();
            continue;
        }
        field.push_back(c);
        if (field.size() == MaxFieldLength) {
            endField();
            if (i >= n)
                break;
            ++i;  // the 49th character is lost, whatever it is
        }
    }
    return fields;
}

LanguageTable::Result LanguageTable::parse(const QString& text, int column)
{
    Result result;
    QString body = text;
    if (body.startsWith(QChar(0xFEFF)))
        body.remove(0, 1);
    const QStringList lines = splitLines(body);
    if (lines.isEmpty())
        return result;

    for (const QString& name : splitFields(lines.first())) {
        if (name.isEmpty() || result.names.size() == MaxLanguages)
            break;
        result.names.append(name);
    }
    for (qsizetype row = 1; row < lines.size() && result.strings.size() < StringCount; ++row) {
        const QStringList fields = splitFields(lines[row]);
        result.strings.append(column >= 0 && column < fields.size() ? fields[column] : QString());
    }
    return result;
}

}  // namespace tarn
