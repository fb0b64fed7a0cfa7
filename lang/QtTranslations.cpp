#include "lang/QtTranslations.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QTranslator>

namespace tarn {

QString qtLocaleForLanguage(const QString& languageName)
{
    const QString name = languageName.trimmed();
    if (name.isEmpty())
        return {};
    // The shipped table's names and their English ones: both Chinese names would
    // otherwise match the same language.
    static const struct {
        const char16_t* name;
        const char* locale;
    } known[] = {
        {u"简体中文", "zh_CN"}, {u"Simplified Chinese", "zh_CN"}, {u"繁體中文", "zh_TW"},
        {u"繁体中文", "zh_TW"}, {u"Traditional Chinese", "zh_TW"}, {u"English", ""},
    };
    for (const auto& entry : known)
        if (name.compare(QString::fromUtf16(entry.name), Qt::CaseInsensitive) == 0)
            return QString::fromLatin1(entry.locale);
    // A language added to the table: its own name for itself, or its English name.
    const QList<QLocale> locales =
        QLocale::matchingLocales(QLocale::AnyLanguage, QLocale::AnyScript, QLocale::AnyTerritory);
    for (const QLocale& locale : locales) {
        if (locale.language() == QLocale::C || locale.language() == QLocale::English)
            continue;
        if (name.compare(locale.nativeLanguageName(), Qt::CaseInsensitive) == 0
            || name.compare(QLocale::languageToString(locale.language()), Qt::CaseInsensitive) == 0)
            return QLocale(locale.language()).name().section(QLatin1Char('_'), 0, 0);
    }
    return {};
}

bool installQtTranslation(const QString& locale)
{
    static QPointer<QTranslator> installed;
    if (installed) {
        QCoreApplication::removeTranslator(installed);
        delete installed;
    }
    if (locale.isEmpty() || !QCoreApplication::instance())
        return true;
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QLocale(locale), QStringLiteral("qtbase"), QStringLiteral("_"),
                          QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
        delete translator;
        return false;
    }
    QCoreApplication::installTranslator(translator);
    installed = translator;
    return true;
}

}  // namespace tarn
