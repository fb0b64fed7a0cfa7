// Where Tarn finds its files (lang.csv, pictures, icons, help): the working directory
// first, then beside the installed program, then the copy compiled into the program.
#pragma once

#include <QString>
#include <QStringList>

namespace tarn {

// The directories searched, in order (without the compiled-in copy).
QStringList resourceSearchPath();

// The first existing file of that name along the search path, else ":/<name>" when the
// program carries a copy (and TARN_BUILTIN_FILES is not "0"), else an empty string.
QString findResourceFile(const QString& name);

// Makes the compiled-in copies (":/lang.csv", ":/icons/...") available; safe to repeat.
void initTarnResources();

}  // namespace tarn
