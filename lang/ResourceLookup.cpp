#include "lang/ResourceLookup.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

static void initResourcesOnce()
{
    static const bool done = [] {
        Q_INIT_RESOURCE(tarn);
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

}  // namespace tarn
