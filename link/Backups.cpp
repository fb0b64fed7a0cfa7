#include "link/Backups.h"

#include "radio/ConfigFile.h"

#include <QDir>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#include <algorithm>

namespace tarn {

namespace {

// 20261208-101500-read.tw, 20261208-101500-read-2.tw: the stamp, what happened, a number
// when more than one backup of a kind falls into the same second.
const QRegularExpression& backupName()
{
    static const QRegularExpression name(QStringLiteral("^(\\d{8}-\\d{6})-([a-z-]+?)(?:-(\\d+))?\\.tw$"));
    return name;
}

struct Entry {
    QString path;
    QString stamp;
    int number;
    QDateTime modified;
};

}  // namespace

QString BackupStore::defaultFolder()
{
    // Without a data folder (no home) there is nowhere to keep backups; keep() says so.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return data.isEmpty() ? QString() : data + QStringLiteral("/tarn/backups");
}

BackupStore::BackupStore(QString folder) : m_folder(std::move(folder)) {}

BackupResult BackupStore::keep(const RadioImage& image, const char* what, const QDateTime& when) const
{
    BackupResult result;
    if (m_folder.isEmpty()) {
        result.reason = "the user has no data folder";
        return result;
    }
    QDir dir(m_folder);
    const QString base = when.toString(QStringLiteral("yyyyMMdd-HHmmss")) + QLatin1Char('-') + QLatin1String(what);
    QString path = dir.filePath(base + QStringLiteral(".tw"));
    for (int n = 2; QFileInfo::exists(path); ++n)
        path = dir.filePath(base + QLatin1Char('-') + QString::number(n) + QStringLiteral(".tw"));
    result.path = path.toStdString();

    if (!dir.mkpath(QStringLiteral("."))) {
        result.reason = "cannot make the folder " + m_folder.toStdString();
        return result;
    }
    const FileResult saved = saveConfiguration(result.path, image);
    if (saved.outcome != FileOutcome::Saved) {
        result.reason = saved.reason;
        return result;
    }
    result.kept = true;

    const QStringList all = list();
    for (int i = KeepNewest; i < all.size(); ++i)
        QFile::remove(all.at(i));
    return result;
}

QStringList BackupStore::list() const
{
    std::vector<Entry> entries;
    if (m_folder.isEmpty())
        return {};
    const QDir dir(m_folder);
    for (const QFileInfo& info : dir.entryInfoList({QStringLiteral("*.tw")}, QDir::Files)) {
        const QRegularExpressionMatch match = backupName().match(info.fileName());
        if (match.hasMatch())
            entries.push_back({info.filePath(), match.captured(1),
                               match.captured(3).isEmpty() ? 1 : match.captured(3).toInt(), info.lastModified()});
    }
    // Newest first: by the stamp in the name, then by the number and the file's own time.
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        if (a.stamp != b.stamp)
            return a.stamp > b.stamp;
        if (a.modified != b.modified)
            return a.modified > b.modified;
        return a.number > b.number;
    });
    QStringList paths;
    for (const Entry& e : entries)
        paths << e.path;
    return paths;
}

}  // namespace tarn
