// Automatic backups: after every successful read and before every write the image is kept
// as a configuration file in the user's data folder (~/.local/share/tarn/backups/ on Linux),
// named by date, time, port and what happened (20261208-101500-COM1-read.tw); the newest 100
// are kept. A backup that cannot be written is reported to the caller and never stops a
// transfer.
#pragma once

#include "radio/LanguageText.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

#include <string>
#include <vector>

namespace tarn {

class RadioImage;

struct BackupResult {
    bool kept = false;
    std::string path;    // the file written (or the one that could not be)
    std::string reason;  // the system's words when it was not kept
};

// One backup as a list of backups shows it.
struct BackupEntry {
    QString path;
    QDateTime made;         // when the file was written
    std::string what;       // what happened, as the name says it: "read", "before-write"
    int port = 0;           // the port the radio answered on; 0 when neither name nor file tell
    bool readable = false;  // the file opened as a configuration
    int channelsInUse = 0;
    std::vector<std::string> firstNames;  // the names of the first channels in use that have one
};

class BackupStore {
public:
    static constexpr int KeepNewest = 100;
    // How many channel names a list entry carries.
    static constexpr int NamesShown = 3;
    // What happened, as the last part of the name.
    static constexpr const char* AfterRead = "read";
    static constexpr const char* BeforeWrite = "before-write";

    // The backups folder under the user's data folder (XDG_DATA_HOME when set).
    static QString defaultFolder();

    explicit BackupStore(QString folder = defaultFolder());

    const QString& folder() const { return m_folder; }
    // Saves `image` under a name no other backup has, not even one another program is making
    // at the same moment, then removes all but the newest KeepNewest backups (by the time they
    // were written), never the one just written. `port` is the port the radio answered on.
    BackupResult keep(const RadioImage& image, const char* what, int port,
                      const QDateTime& when = QDateTime::currentDateTime()) const;
    // The backups in the folder, newest first, as full paths.
    QStringList list() const;
    // The same backups with what a list shows of each.
    std::vector<BackupEntry> entries() const;

private:
    QString m_folder;
};

// What a backup list shows of one backup file.
BackupEntry DescribeBackup(const QString& path);
// "Read from the radio", "Before a write"; the name's own word for any other kind.
std::string BackupWhatText(const std::string& what, const LanguageText& text);

}  // namespace tarn
