// Qt's own texts (file dialogs, the print dialog and preview, standard buttons) in the
// language chosen from the table, through the translations Qt ships (on Debian the
// package qt6-translations-l10n).
#pragma once

#include <QString>

namespace tarn {

// The locale of Qt's translations for a language of the table, by its name in the first
// row ("简体中文" gives "zh_CN", "Deutsch" or "German" gives "de"); empty for English and
// for a name no locale answers to.
QString qtLocaleForLanguage(const QString& languageName);

// Makes Qt's own texts speak that locale, replacing the translation installed before; an
// empty locale (English) installs none. False when Qt has no translation for it.
bool installQtTranslation(const QString& locale);

}  // namespace tarn
