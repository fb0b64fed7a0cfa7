// The language table reader over any file contents, in any column: it never reads past a
// line, and every string it returns keeps the length cut.
#include "lang/LanguageTable.h"

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const QByteArray bytes = QByteArray::fromRawData(reinterpret_cast<const char*>(data),
                                                     static_cast<qsizetype>(data ? size : 0));
    const int column = size > 0 ? static_cast<int>(data[0] % 40) - 2 : 0;
    const tarn::LanguageTable::Result table = tarn::LanguageTable::parse(bytes, column);
    if (table.names.size() > tarn::LanguageTable::MaxLanguages
        || table.strings.size() > tarn::LanguageTable::StringCount)
        std::abort();
    for (const QString& text : table.strings)
        if (text.toUcs4().size() > tarn::LanguageTable::MaxFieldLength)
            std::abort();
    return 0;
}
