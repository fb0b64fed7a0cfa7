#include "cli/CliLanguage.h"

#include "lang/LanguageTable.h"
#include "lang/ResourceLookup.h"
#include "link/ResultText.h"

#include <QFile>
#include <QString>

namespace tarn::cli {

bool CliLanguage::load(const Invocation& call, std::string* error)
{
    int column = LanguageTable::StartupColumn;
    if (call.has(LangOption.name)) {
        bool ok = false;
        column = QString::fromStdString(call.value(LangOption.name)).toInt(&ok);
        if (!ok || column < 0 || column >= LanguageTable::MaxLanguages) {
            *error = "--lang needs a column number, 0 to " + std::to_string(LanguageTable::MaxLanguages - 1)
                + ", not '" + call.value(LangOption.name) + "'";
            return false;
        }
    }

    initTarnResources();
    const QString path = findResourceFile(QStringLiteral("lang.csv"));
    QFile file(path);
    QByteArray bytes;
    if (!path.isEmpty() && file.open(QIODevice::ReadOnly))
        bytes = file.readAll();
    const LanguageTable::Result table = LanguageTable::parse(bytes, column);
    if (call.has(LangOption.name) && column >= table.names.size()) {
        // A column the table does not have would give empty texts everywhere.
        *error = "lang.csv has no language column " + std::to_string(column) + "; it has:";
        for (int i = 0; i < table.names.size(); ++i)
            *error += " " + std::to_string(i) + " " + table.names.at(i).toStdString();
        return false;
    }
    m_strings.assign(LanguageTable::StringCount, std::string());
    for (int i = 0; i < table.strings.size() && i < LanguageTable::StringCount; ++i)
        m_strings[static_cast<std::size_t>(i)] = table.strings.at(i).toStdString();
    return true;
}

std::string CliLanguage::text(int n) const
{
    if (n < 0 || n >= static_cast<int>(m_strings.size()))
        return {};
    return m_strings[static_cast<std::size_t>(n)];
}

LanguageText CliLanguage::function() const
{
    return [this](int n) { return text(n); };
}

std::string CliLanguage::resultText(TransferResult code) const
{
    return TransferResultText(code, function());
}

int displayWidth(const std::string& utf8)
{
    int width = 0;
    for (const QChar c : QString::fromStdString(utf8)) {
        if (c.isLowSurrogate())
            continue;
        const char16_t u = c.unicode();
        const bool wide = (u >= 0x1100 && u <= 0x115F) || (u >= 0x2E80 && u <= 0xA4CF)
            || (u >= 0xAC00 && u <= 0xD7A3) || (u >= 0xF900 && u <= 0xFAFF)
            || (u >= 0xFE30 && u <= 0xFE4F) || (u >= 0xFF00 && u <= 0xFF60) || (u >= 0xFFE0 && u <= 0xFFE6);
        width += wide ? 2 : 1;
    }
    return width;
}

std::string padded(const std::string& utf8, int width)
{
    const int have = displayWidth(utf8);
    return utf8 + std::string(static_cast<std::size_t>(std::max(1, width - have)), ' ');
}

}  // namespace tarn::cli
