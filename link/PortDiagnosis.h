// Why a serial port cannot be used, and what to do about it: the words of "tarn-cli ports",
// of a read or write that found no radio, and of the port dialog's tool tips. Looks at the
// processes that hold the device, brltty, ModemManager and Tarn's udev rule for cables.
#pragma once

#include "link/CommPort.h"

#include <string>
#include <vector>

namespace tarn {

// Where the system is looked at; tests point these at folders they make.
struct SystemView {
    std::string procRoot = "/proc";
    std::string udevDataDir = "/run/udev/data";
    std::vector<std::string> udevRuleDirs = {"/etc/udev/rules.d", "/run/udev/rules.d",
                                             "/usr/lib/udev/rules.d", "/lib/udev/rules.d",
                                             "/usr/local/lib/udev/rules.d"};
};

// The udev rule Tarn installs for the usual programming cable chips.
inline constexpr const char* CableRuleFile = "60-tarn-cables.rules";

struct ProcessInfo {
    int pid;
    std::string name;
};

// The processes that have `device` open, as far as this user can see them.
std::vector<ProcessInfo> processesHolding(const std::string& device, const SystemView& view = {});
// Whether a process of that name (its comm) runs.
bool processRunning(const std::string& name, const SystemView& view = {});

// A warning about a port that can be opened: ModemManager runs and has not been told to
// leave this USB cable alone. Empty when there is nothing to fear.
std::string cableWarning(const std::string& device, const SystemView& view = {});

// The state of a port for the user: "can be opened", or the failure's words followed by
// the remedy. `failure` and `reason` come from CommPort's last open of `device`.
std::string explainPort(const std::string& device, CommPort::OpenFailure failure,
                        const std::string& reason, const SystemView& view = {});

// Opens port `number` once (and closes it again) and explains the outcome.
struct PortState {
    bool usable;
    std::string text;
};
PortState diagnosePort(CommPort& port, int number, const SystemView& view = {});

}  // namespace tarn
