// The language table lang.csv: one column per language, row 0 the language names, the
// following rows the language strings: the 148 of the original table, then Tarn's own
// from 148 on. Parsing only; finding and applying the file is the application's business.
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

namespace tarn {

class LanguageTable {
public:
    static constexpr int MaxLanguages = 32;
    // Strings 0-147 are the original table's; 148 and above are Tarn's own additions.
    static constexpr int OriginalStringCount = 148;
    static constexpr int StringCount = 512;
    // Longer fields are cut: 48 characters kept, the next one dropped, the rest of the
    // field continues as the following field of the row.
    static constexpr int MaxFieldLength = 48;
    // The column the window starts in and tarn-cli reads unless told otherwise (English).
    static constexpr int StartupColumn = 2;

    struct Result {
        // The names of row 0, up to the first empty field, at most 32.
        QStringList names;
        // One string per row after row 0, at most StringCount. Slots beyond the rows the file
        // holds are not in the list: a load keeps their previous values.
        QStringList strings;
    };

    // Decodes the file line by line: as GB18030 when it is a table in that code page (most
    // of its lines beyond ASCII are not UTF-8), else as UTF-8, where a line that is not
    // valid UTF-8 loses only its broken bytes: one stray byte costs one character, never
    // the texts of the other lines.
    static QString decode(const QByteArray& bytes);
    // Lines end at a line feed; a carriage return before it is not part of the line.
    static QStringList splitLines(const QString& text);
    // The comma-separated fields of one line, with the length cut applied.
    static QStringList splitFields(const QString& line);

    static Result parse(const QString& text, int column);
    static Result parse(const QByteArray& bytes, int column) { return parse(decode(bytes), column); }

    // What an entry shows: its language string, or the entry's own resource text where the
    // table holds none (a short or empty table must not leave a menu entry without text,
    // which the toolkit would hide).
    static QString shownText(const QString& languageString, const QString& resourceText)
    {
        return languageString.isEmpty() ? resourceText : languageString;
    }
};

}  // namespace tarn
