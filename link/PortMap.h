// The port map: turns the program's port numbers ("COM1" to "COM20") into serial devices of
// this machine, either from the system's list of serial ports or from an explicit
// assignment (TARN_PORTS or the tools' --ports option).
#pragma once

#include "link/PortRange.h"

#include <QList>
#include <QMap>
#include <QString>
#include <QStringList>

#include <optional>
#include <string>

namespace tarn {

struct PortEntry {
    int number;      // 1 to 20
    QString device;  // empty when no device has this number
};

class PortMap {
public:
    static constexpr int FirstPort = tarn::FirstPort;
    static constexpr int LastPort = tarn::LastPort;

    // An explicit assignment "N=DEVICE[,N=DEVICE...]" that takes precedence over
    // TARN_PORTS; an empty text removes it.
    static void setOverride(const QString& assignment);
    static QString overrideAssignment();

    // The device the port number stands for; empty when there is none.
    static QString deviceForPort(int n);
    // The device for a "COM<n>" name; empty when the name is not of that form or has no device.
    static QString deviceForName(const std::string& name);
    // Ports FirstPort to LastPort with their devices, for the port dialog and "tarn-cli ports".
    static QList<PortEntry> listPorts();

    // "COM<n>" -> n (n may be 0 or negative); nothing for any other name.
    static std::optional<int> portNumberFromName(const std::string& name);
    // Parses an assignment; malformed entries are skipped and named in `problems`.
    static QMap<int, QString> parseAssignment(const QString& assignment,
                                              QStringList* problems = nullptr);
    // The numbering rule for the system's ports: USB adapters (ttyUSB*, ttyACM*, cu.usb*)
    // first, then the others, each group in name order (numbers compared as numbers).
    // Takes device paths or names; returns them in the order that numbers them 1, 2, ...
    static QStringList orderSystemPorts(QStringList devices);

private:
    // The assignment in force: the override, else TARN_PORTS; empty when neither is set.
    static std::optional<QString> activeAssignment();
};

}  // namespace tarn
