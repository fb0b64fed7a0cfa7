// Port numbers to devices: the system's serial ports are numbered by a fixed rule unless an
// assignment pins them.
#include "link/PortMap.h"

#include <QMutex>
#include <QMutexLocker>
#include <QSerialPortInfo>

#include <algorithm>
#include <charconv>

namespace tarn {

namespace {

QMutex overrideMutex;
std::optional<QString> overrideText;

QString baseName(const QString& device)
{
    const int slash = device.lastIndexOf(QLatin1Char('/'));
    return slash < 0 ? device : device.mid(slash + 1);
}

// Name order in which embedded numbers compare by value: ttyS2 before ttyS10.
bool naturalLess(const QString& a, const QString& b)
{
    int i = 0;
    int j = 0;
    while (i < a.size() && j < b.size()) {
        if (a[i].isDigit() && b[j].isDigit()) {
            int ei = i;
            int ej = j;
            while (ei < a.size() && a[ei].isDigit())
                ++ei;
            while (ej < b.size() && b[ej].isDigit())
                ++ej;
            const QString na = a.mid(i, ei - i);
            const QString nb = b.mid(j, ej - j);
            const qulonglong va = na.toULongLong();
            const qulonglong vb = nb.toULongLong();
            if (va != vb)
                return va < vb;
            if (na.size() != nb.size())
                return na.size() < nb.size();
            i = ei;
            j = ej;
            continue;
        }
        if (a[i] != b[j])
            return a[i] < b[j];
        ++i;
        ++j;
    }
    if (a.size() - i != b.size() - j)
        return a.size() - i < b.size() - j;
    return a < b;
}

QStringList systemDevices()
{
    QStringList devices;
    const auto ports = QSerialPortInfo::availablePorts();
    for (const QSerialPortInfo& info : ports) {
        const QString location = info.systemLocation();
        if (!location.isEmpty() && !devices.contains(location))
            devices << location;
    }
    return devices;
}

}  // namespace

bool PortMap::isUsbAdapter(const QString& device)
{
    const QString name = baseName(device);
    return name.startsWith(QLatin1String("ttyUSB")) || name.startsWith(QLatin1String("ttyACM"))
        || name.startsWith(QLatin1String("cu.usb"));
}

void PortMap::setOverride(const QString& assignment)
{
    QMutexLocker lock(&overrideMutex);
    if (assignment.trimmed().isEmpty())
        overrideText.reset();
    else
        overrideText = assignment;
}

QString PortMap::overrideAssignment()
{
    QMutexLocker lock(&overrideMutex);
    return overrideText.value_or(QString());
}

std::optional<QString> PortMap::activeAssignment()
{
    {
        QMutexLocker lock(&overrideMutex);
        if (overrideText)
            return overrideText;
    }
    const QString fromEnvironment = qEnvironmentVariable("TARN_PORTS");
    if (!fromEnvironment.trimmed().isEmpty())
        return fromEnvironment;
    return std::nullopt;
}

std::optional<int> PortMap::portNumberFromName(const std::string& name)
{
    if (name.size() < 4 || name.compare(0, 3, "COM") != 0)
        return std::nullopt;
    const char* first = name.data() + 3;
    const char* last = name.data() + name.size();
    int n = 0;
    const auto [end, error] = std::from_chars(first, last, n);
    if (error != std::errc() || end != last)
        return std::nullopt;
    return n;
}

QMap<int, QString> PortMap::parseAssignment(const QString& assignment, QStringList* problems)
{
    QMap<int, QString> map;
    const QStringList entries = assignment.split(QLatin1Char(','), Qt::SkipEmptyParts);
    for (const QString& rawEntry : entries) {
        const QString entry = rawEntry.trimmed();
        if (entry.isEmpty())
            continue;
        const int equals = entry.indexOf(QLatin1Char('='));
        bool numberOk = false;
        const int number = equals > 0 ? entry.left(equals).trimmed().toInt(&numberOk) : 0;
        const QString device = equals > 0 ? entry.mid(equals + 1).trimmed() : QString();
        if (!numberOk || device.isEmpty() || number < FirstPort || number > LastPort) {
            if (problems)
                *problems << entry;
            continue;
        }
        map.insert(number, device);
    }
    return map;
}

QString PortMap::assignmentError(const QString& assignment)
{
    QStringList problems;
    parseAssignment(assignment, &problems);
    QStringList malformed;
    QStringList outOfRange;
    for (const QString& entry : problems) {
        const int equals = entry.indexOf(QLatin1Char('='));
        bool numberOk = false;
        if (equals > 0)
            entry.left(equals).trimmed().toInt(&numberOk);
        (numberOk && !entry.mid(equals + 1).trimmed().isEmpty() ? outOfRange : malformed) << entry;
    }
    QStringList reasons;
    if (!malformed.isEmpty())
        reasons << QStringLiteral("not of the form N=DEVICE: ") + malformed.join(QStringLiteral(", "));
    if (!outOfRange.isEmpty())
        reasons << QStringLiteral("port numbers run from 1 to 20: ") + outOfRange.join(QStringLiteral(", "));
    return reasons.join(QStringLiteral("; "));
}

QStringList PortMap::orderSystemPorts(QStringList devices)
{
    std::stable_sort(devices.begin(), devices.end(), [](const QString& a, const QString& b) {
        const bool usbA = isUsbAdapter(a);
        const bool usbB = isUsbAdapter(b);
        if (usbA != usbB)
            return usbA;
        return naturalLess(baseName(a), baseName(b));
    });
    return devices;
}

QString PortMap::deviceForPort(int n)
{
    if (const auto assignment = activeAssignment())
        return parseAssignment(*assignment).value(n);
    const QStringList ordered = orderSystemPorts(systemDevices());
    if (n < 1 || n > ordered.size())
        return {};
    return ordered.at(n - 1);
}

QString PortMap::deviceForName(const std::string& name)
{
    const auto n = portNumberFromName(name);
    return n ? deviceForPort(*n) : QString();
}

QList<PortEntry> PortMap::listPorts()
{
    QList<PortEntry> entries;
    std::optional<QMap<int, QString>> assigned;
    QStringList ordered;
    if (const auto assignment = activeAssignment())
        assigned = parseAssignment(*assignment);
    else
        ordered = orderSystemPorts(systemDevices());
    for (int n = FirstPort; n <= LastPort; ++n) {
        QString device;
        if (assigned)
            device = assigned->value(n);
        else if (n <= ordered.size())
            device = ordered.at(n - 1);
        entries.append({n, device});
    }
    return entries;
}

}  // namespace tarn
