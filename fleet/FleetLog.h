// The fleet log: one CSV line appended for every radio a fleet run takes, so a club or a
// dealer can tell later which radio got which configuration and values.
#pragma once

#include <QDateTime>
#include <QString>

#include <mutex>
#include <string>
#include <string_view>

namespace tarn {

// What the log keeps of one radio, in the order of its columns. The log has no header row:
// every line of it is a radio.
struct FleetLogRecord {
    QDateTime when;
    int port = 0;
    std::string device;         // the device the port number stood for
    std::string stableName;     // its name under /dev/serial/by-id; "" when it has none
    std::string configuration;  // the configuration file ("" when the window's was never saved)
    std::string sha256;         // of the configuration file's bytes, lower-case hex
    std::string values;         // the per-radio values applied: "startupText=CLUB01;localId=101"
    std::string result;         // RadioResultWord: "written", "no radio", ...
    std::string verify;         // RadioVerifyWord: "equal", "differs", ...; "" when not read back
    std::string backup;         // the before-write backup's path; "" when none was kept
};

// One line of the log, ending in "\n": the fields quoted as CSV needs, control characters
// written as \xNN so a record never spans two lines. tarn-cli and the window both write it.
std::string FleetLogLine(const FleetLogRecord& record);

// fleet-log.csv in Tarn's data folder, beside the backups folder; empty without a data folder.
QString DefaultFleetLogPath();

// The name of `device` under `folder` (/dev/serial/by-id): the link there that leads to the
// same device, so a log names the cable's adapter by its serial number; "" when there is none.
std::string StableDeviceName(const std::string& device, const QString& folder = QStringLiteral("/dev/serial/by-id"));

// SHA-256 of `bytes`, lower-case hex.
std::string Sha256Hex(std::string_view bytes);

// The log file, opened once for appending. Each line goes out in one write of its own (one
// the system cuts short is finished), at the end of the file whoever else appends; the room
// for it is reserved first, and a line the disk could not take whole is taken back, so the
// file never holds half a line.
class FleetLog {
public:
    FleetLog() = default;
    ~FleetLog();
    FleetLog(const FleetLog&) = delete;
    FleetLog& operator=(const FleetLog&) = delete;

    // Creates the file (and its folder) when missing; refuses what is not a regular file.
    // False with the system's reason.
    bool open(const QString& path, std::string* error);
    bool isOpen() const;
    const QString& path() const { return m_path; }
    // Safe from several threads at once. False with the system's reason.
    bool append(const std::string& line, std::string* error);

private:
    std::mutex m_mutex;
    QString m_path;
    int m_fd = -1;  // a POSIX descriptor, or a C runtime one on Windows
};

}  // namespace tarn
