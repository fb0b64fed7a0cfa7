// Automatic backups: after every successful read and before every write the image is kept
// as a configuration file in the user's data folder (~/.local/share/tarn/backups/ on Linux),
// named by date, time and what happened (20261208-101500-read.tw); the newest 100 are kept.
// A backup that cannot be written is reported to the caller and never stops a transfer.
#pragma once

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <string>

namespace tarn {

class RadioImage;

struct BackupResult {
    bool kept = false;
    std::string path;    // the file written (or the one that could not be)
    std::string reason;  // the system's words when it was not kept
};

class BackupStore {
public:
    static constexpr int KeepNewest = 100;
    // What happened, as the last part of the name.
    static constexpr const char* AfterRead = "read";
    static constexpr const char* BeforeWrite = "before-write";

    // The backups folder under the user's data folder (XDG_DATA_HOME when set).
    static QString defaultFolder();

    explicit BackupStore(QString folder = defaultFolder());

    const QString& folder() const { return m_folder; }
    // Saves `image` as a new backup, then removes all but the newest KeepNewest backups.
    BackupResult keep(const RadioImage& image, const char* what,
                      const QDateTime& when = QDateTime::currentDateTime()) const;
    // The backups in the folder, newest first, as full paths.
    QStringList list() const;

private:
    QString m_folder;
};

}  // namespace tarn
