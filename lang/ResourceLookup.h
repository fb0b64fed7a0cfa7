// Where Tarn finds its files (lang.csv, pictures, icons, help, the stock channel sets): the
// working directory first, then beside the installed program, then the copy compiled into
// the program.
#pragma once

#include <QString>
#include <QList>
#include <QStringList>

namespace tarn {

// The directories searched, in order (without the compiled-in copy).
QStringList resourceSearchPath();

// The first existing file of that name along the search path, else ":/<name>" when the
// program carries a copy (and TARN_BUILTIN_FILES is not "0"), else an empty string.
QString findResourceFile(const QString& name);

// The start page of the help for a language column: help/<column>/index.html along the
// search path (or along `dirs`). A column without help of its own gets the English help
// (the start-up column's); empty when there is no help at all.
inline constexpr int EnglishHelpColumn = 2;
QString findHelpPage(int column);
QString findHelpPage(int column, const QStringList& dirs);

// A stock channel set: channels/<name>.csv along the search path, else its compiled-in copy
// (unless TARN_BUILTIN_FILES is "0"). A set found earlier hides one of the same name found
// later, so a file of your own in ./channels replaces the one Tarn ships.
struct StockChannelSet {
    QString name;  // the file's name without ".csv": "pmr446"
    QString path;
};
// Every set, by name.
QList<StockChannelSet> stockChannelSets();
// The file of the set of that name (letters in either case); empty when there is none.
QString findStockChannelSet(const QString& name);

// Makes the compiled-in copies (":/lang.csv", ":/icons/...") available; safe to repeat.
void initTarnResources();

}  // namespace tarn
