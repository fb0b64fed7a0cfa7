#include "fleet/FleetLog.h"

#include "exchange/ChannelCsv.h"
#include "exchange/ExchangeRules.h"
#include "link/PortRange.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QStandardPaths>

#include <cerrno>
#include <cstring>
#include <iterator>
#include <fcntl.h>
#include <sys/stat.h>

#include <sys/file.h>
#include <unistd.h>

namespace tarn {

namespace {

std::string systemReason(int error)
{
    return std::strerror(error);
}

// Holds the file against other programs appending to it while a line goes in and, when the
// disk could not take it whole, is taken back.
class FileLock {
public:
    explicit FileLock(int fd) : m_fd(fd) { ::flock(m_fd, LOCK_EX); }
    ~FileLock() { ::flock(m_fd, LOCK_UN); }

private:
    int m_fd;
};

}  // namespace

std::string FleetLogLine(const FleetLogRecord& r)
{
    const std::string fields[] = {
        // Local time with its offset from UTC, so lines from machines in other zones still compare.
        (r.when.timeSpec() == Qt::LocalTime ? r.when.toOffsetFromUtc(r.when.offsetFromUtc()) : r.when)
            .toString(Qt::ISODate)
            .toStdString(),
        r.port > 0 ? PortName(r.port) : std::string(),
        r.device,
        r.stableName,
        r.configuration,
        r.sha256,
        r.values,
        r.result,
        r.verify,
        r.backup,
    };
    std::string line;
    for (std::size_t i = 0; i < std::size(fields); ++i)
        line += (i > 0 ? "," : "") + CsvField(PrintableText(fields[i]));
    return line + "\n";
}

QString DefaultFleetLogPath()
{
    const QString data = QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation);
    return data.isEmpty() ? QString() : data + QStringLiteral("/tarn/fleet-log.csv");
}

std::string StableDeviceName(const std::string& device, const QString& folder)
{
    const QString target = QFileInfo(QString::fromStdString(device)).canonicalFilePath();
    if (target.isEmpty())
        return {};
    const QDir dir(folder);
    const QFileInfoList links = dir.entryInfoList(QDir::System | QDir::Files | QDir::NoDotAndDotDot, QDir::Name);
    for (const QFileInfo& link : links)
        if (link.isSymLink() && link.canonicalFilePath() == target)
            return link.absoluteFilePath().toStdString();
    return {};
}

std::string Sha256Hex(std::string_view bytes)
{
    return QCryptographicHash::hash(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())),
                                    QCryptographicHash::Sha256)
        .toHex()
        .toStdString();
}

FleetLog::~FleetLog()
{
    if (m_fd >= 0)
        ::close(m_fd);
}

bool FleetLog::isOpen() const
{
    return m_fd >= 0;
}

bool FleetLog::open(const QString& path, std::string* error)
{
    std::lock_guard lock(m_mutex);
    if (m_fd >= 0)
        ::close(m_fd);
    m_fd = -1;
    m_path = path;
    if (path.isEmpty()) {
        *error = "there is no data folder for the log";
        return false;
    }
    const QFileInfo info(path);
    if (!QDir().mkpath(info.absolutePath())) {
        *error = "cannot make the folder " + info.absolutePath().toStdString();
        return false;
    }
    const QByteArray name = QFile::encodeName(path);
    // No O_TRUNC, ever: the log only grows. A FIFO or a device is refused before it is opened
    // (opening a FIFO nobody reads would wait for ever).
    struct stat before {};
    if (::stat(name.constData(), &before) == 0 && !S_ISREG(before.st_mode)) {
        *error = "not a regular file";
        return false;
    }
    const int fd = ::open(name.constData(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC | O_NOCTTY, 0644);
    if (fd < 0) {
        *error = systemReason(errno);
        return false;
    }
    struct stat opened {};
    if (::fstat(fd, &opened) != 0 || !(opened.st_mode & S_IFREG)) {
        ::close(fd);
        *error = "not a regular file";
        return false;
    }
    m_fd = fd;
    return true;
}

bool FleetLog::append(const std::string& line, std::string* error)
{
    std::lock_guard lock(m_mutex);
    if (m_fd < 0) {
        *error = "the log is not open";
        return false;
    }
    FileLock hold(m_fd);
    struct stat before {};
    if (::fstat(m_fd, &before) != 0) {
        *error = systemReason(errno);
        return false;
    }
    // The room first: a full disk refuses here, before a byte of the line is in the file.
    if (::fallocate(m_fd, FALLOC_FL_KEEP_SIZE, before.st_size, static_cast<off_t>(line.size())) != 0
        && errno != EOPNOTSUPP && errno != ENOSYS && errno != EINTR) {
        *error = systemReason(errno);
        return false;
    }
    std::size_t done = 0;
    int writeError = 0;
    while (done < line.size()) {
        const ssize_t n = ::write(m_fd, line.data() + done, line.size() - done);
        if (n > 0)
            done += static_cast<std::size_t>(n);
        else if (n < 0 && errno == EINTR)
            continue;
        else {
            writeError = n < 0 ? errno : ENOSPC;
            break;
        }
    }
    if (done == line.size()) {
        // The line is the record of a radio programmed: it outlives a power cut.
        if (::fdatasync(m_fd) != 0) {
            *error = "the line is in the file but may not be on the disk: " + systemReason(errno);
            return false;
        }
        return true;
    }
    // Part of the line went in: it is taken back, so the file ends with a whole line again.
    if (done > 0 && ::ftruncate(m_fd, before.st_size) != 0) {
        *error = systemReason(writeError) + "; the part of the line written could not be taken back: "
            + systemReason(errno);
        return false;
    }
    *error = systemReason(writeError);
    return false;
}

}  // namespace tarn
