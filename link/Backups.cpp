#include "link/Backups.h"

#include "radio/ChannelRecord.h"
#include "radio/ConfigFile.h"
#include "radio/RadioImage.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QStandardPaths>

#include <algorithm>

namespace tarn {

namespace {

// 20261208-101500-COM1-read.tw, 20261208-101500-COM1-read-2.tw: the stamp, the port, what
// happened, a number when more than one backup of a kind falls into the same second. Names
// from before the port was part of them have none.
const QRegularExpression& backupName()
{
    static const QRegularExpression name(
        QStringLiteral("^(\\d{8}-\\d{6})-(?:COM(-?\\d+)-)?([a-z-]+?)(?:-(\\d+))?\\.tw$"));
    return name;
}

constexpr int ReadString = 362;
constexpr int BeforeWriteString = 363;

// More backups of one kind in one second than this is no longer a clock, it is a fault.
constexpr int MostInOneSecond = 1000;

struct Entry {
    QString path;
    QString stamp;
    int number;
    QDateTime modified;
};

// Newest first: by the time the file was written, then by the stamp and the number of its name.
std::vector<Entry> backupsIn(const QString& folder)
{
    std::vector<Entry> entries;
    if (folder.isEmpty())
        return entries;
    const QDir dir(folder);
    for (const QFileInfo& info : dir.entryInfoList({QStringLiteral("*.tw")}, QDir::Files)) {
        const QRegularExpressionMatch match = backupName().match(info.fileName());
        if (match.hasMatch())
            entries.push_back({info.filePath(), match.captured(1),
                               match.captured(4).isEmpty() ? 1 : match.captured(4).toInt(), info.lastModified()});
    }
    std::sort(entries.begin(), entries.end(), [](const Entry& a, const Entry& b) {
        if (a.modified != b.modified)
            return a.modified > b.modified;
        if (a.stamp != b.stamp)
            return a.stamp > b.stamp;
        if (a.number != b.number)
            return a.number > b.number;
        return a.path > b.path;
    });
    return entries;
}

// Takes a name in `dir` that no file has, by creating it: two programs asking in the same
// second never get the same one. Empty when none could be made; `reason` says why.
QString claimName(const QDir& dir, const QString& base, std::string* reason)
{
    for (int n = 1; n <= MostInOneSecond; ++n) {
        const QString path = dir.filePath(n == 1 ? base + QStringLiteral(".tw")
                                                 : base + QLatin1Char('-') + QString::number(n) + QStringLiteral(".tw"));
        QFile file(path);
        if (file.open(QIODevice::WriteOnly | QIODevice::NewOnly))
            return path;
        if (!QFileInfo::exists(path)) {  // not taken, refused: the folder will not take it either
            *reason = file.errorString().toStdString();
            return {};
        }
    }
    *reason = "too many backups of this kind in one second";
    return {};
}

// The one place a backup's bytes are written: the configuration file's safe save (temporary
// file, checked writes, fsync, rename), which replaces the empty file that holds the name.
FileResult writeBackupFile(const std::string& path, const RadioImage& image)
{
    return saveConfiguration(path, image);
}

}  // namespace

QString BackupStore::defaultFolder()
{
    // Without a data folder (no home) there is nowhere to keep backups; keep() says so.
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return data.isEmpty() ? QString() : data + QStringLiteral("/tarn/backups");
}

BackupStore::BackupStore(QString folder) : m_folder(std::move(folder)) {}

BackupResult BackupStore::keep(const RadioImage& image, const char* what, int port, const QDateTime& when) const
{
    BackupResult result;
    if (m_folder.isEmpty()) {
        result.reason = "the user has no data folder";
        return result;
    }
    QDir dir(m_folder);
    const QString base = when.toString(QStringLiteral("yyyyMMdd-HHmmss")) + QStringLiteral("-COM")
        + QString::number(port) + QLatin1Char('-') + QLatin1String(what);
    result.path = dir.filePath(base + QStringLiteral(".tw")).toStdString();
    if (!dir.mkpath(QStringLiteral("."))) {
        result.reason = "cannot make the folder " + m_folder.toStdString();
        return result;
    }
    const QString path = claimName(dir, base, &result.reason);
    if (path.isEmpty())
        return result;
    result.path = path.toStdString();
    const FileResult saved = writeBackupFile(result.path, image);
    if (saved.outcome != FileOutcome::Saved) {
        QFile::remove(path);
        result.reason = saved.reason;
        return result;
    }
    result.kept = true;

    // The one just written stays even when other backups carry later times (a clock that was
    // set back): then the oldest of the others go instead.
    int others = 0;
    for (const Entry& entry : backupsIn(m_folder)) {
        if (entry.path == path)
            continue;
        if (++others >= KeepNewest)
            QFile::remove(entry.path);
    }
    return result;
}

QStringList BackupStore::list() const
{
    QStringList paths;
    for (const Entry& e : backupsIn(m_folder))
        paths << e.path;
    return paths;
}

std::vector<BackupEntry> BackupStore::entries() const
{
    std::vector<BackupEntry> entries;
    for (const Entry& e : backupsIn(m_folder))
        entries.push_back(DescribeBackup(e.path));
    return entries;
}

BackupEntry DescribeBackup(const QString& path)
{
    BackupEntry entry;
    entry.path = path;
    const QFileInfo info(path);
    entry.made = info.lastModified();
    const QRegularExpressionMatch match = backupName().match(info.fileName());
    if (match.hasMatch()) {
        entry.what = match.captured(3).toStdString();
        entry.port = match.captured(2).toInt();
    }

    RadioImage image;
    if (loadConfiguration(path.toStdString(), image).outcome != FileOutcome::Loaded)
        return entry;
    entry.readable = true;
    if (!match.hasMatch() || match.captured(2).isEmpty())
        entry.port = image.portNumber();
    for (int i = 0; i < layout::ChannelCount; ++i) {
        if (!image.channelInUse(i))
            continue;
        ++entry.channelsInUse;
        const std::string name = ChannelNameText(image.extensionSlot(i));
        if (!name.empty() && static_cast<int>(entry.firstNames.size()) < BackupStore::NamesShown)
            entry.firstNames.push_back(name);
    }
    return entry;
}

std::string BackupWhatText(const std::string& what, const LanguageText& text)
{
    if (what == BackupStore::AfterRead)
        return text(ReadString);
    if (what == BackupStore::BeforeWrite)
        return text(BeforeWriteString);
    return what;
}

}  // namespace tarn
