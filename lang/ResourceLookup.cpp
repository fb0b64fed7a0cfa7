#include "lang/ResourceLookup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

#include <map>

static void initResourcesOnce()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(tarn);
        Q_INIT_RESOURCE(channels);
        return true;
    }();
    Q_UNUSED(done);
}

namespace tarn {

void initTarnResources()
{
    initResourcesOnce();
}

QStringList resourceSearchPath()
{
    QStringList dirs{QDir::currentPath()};
    if (QCoreApplication::instance()) {
        const QString appDir = QCoreApplication::applicationDirPath();
        dirs << appDir << QDir::cleanPath(appDir + QStringLiteral("/../share/tarn"));
    }
    return dirs;
}

namespace {
QString firstFileIn(const QStringList& dirs, const QString& name)
{
    for (const QString& dir : dirs) {
        const QFileInfo info(QDir(dir).filePath(name));
        if (info.isFile())
            return info.absoluteFilePath();
    }
    return {};
}
}  // namespace

QString findResourceFile(const QString& name)
{
    if (name.isEmpty())
        return {};
    const QString found = firstFileIn(resourceSearchPath(), name);
    if (!found.isEmpty())
        return found;
    // TARN_BUILTIN_FILES=0 leaves out the compiled-in copies, so an installation, or a
    // picture taken away, can be tried as it would behave without them.
    if (qEnvironmentVariable("TARN_BUILTIN_FILES") == QLatin1String("0"))
        return {};
    initResourcesOnce();
    const QString bundled = QStringLiteral(":/") + name;
    return QFileInfo(bundled).isFile() ? bundled : QString();
}

QString findHelpPage(int column, const QStringList& dirs)
{
    auto page = [](int n) { return QStringLiteral("help/%1/index.html").arg(n); };
    const QString own = firstFileIn(dirs, page(column));
    return own.isEmpty() ? firstFileIn(dirs, page(EnglishHelpColumn)) : own;
}

QString findHelpPage(int column)
{
    return findHelpPage(column, resourceSearchPath());
}

QList<StockChannelSet> stockChannelSets()
{
    QStringList dirs;
    for (const QString& dir : resourceSearchPath())
        dirs << QDir(dir).filePath(QStringLiteral("channels"));
    if (qEnvironmentVariable("TARN_BUILTIN_FILES") != QLatin1String("0")) {
        initResourcesOnce();
        dirs << QStringLiteral(":/channels");
    }
    std::map<QString, StockChannelSet> sets;
    for (const QString& dir : dirs) {
        const QFileInfoList files = QDir(dir).entryInfoList({QStringLiteral("*.csv")}, QDir::Files | QDir::Readable, QDir::Name);
        for (const QFileInfo& file : files) {
            const QString name = file.completeBaseName().toLower();
            sets.emplace(name, StockChannelSet{name, file.isNativePath() ? file.absoluteFilePath() : file.filePath()});
        }
    }
    QList<StockChannelSet> list;
    for (const auto& [name, set] : sets)
        list << set;
    return list;
}

QString findStockChannelSet(const QString& name)
{
    for (const StockChannelSet& set : stockChannelSets())
        if (set.name.compare(name, Qt::CaseInsensitive) == 0)
            return set.path;
    return {};
}

}  // namespace tarn
