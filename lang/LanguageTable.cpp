#include "lang/LanguageTable.h"

#include <QStringDecoder>

#include <string>

namespace tarn {

QString LanguageTable::decode(const QByteArray& bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString text = utf8.decode(bytes);
    if (!utf8.hasError())
        return text;
    // Tables written on the original platform are in the Chinese code page.
    QStringDecoder legacy("GB18030");
    if (legacy.isValid())
        return legacy.decode(bytes);
    return QString::fromLatin1(bytes);
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
