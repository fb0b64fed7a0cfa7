#include "link/PortDiagnosis.h"

#include "link/PortMap.h"
#include "link/PortRange.h"

#include <QString>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <system_error>

#include <grp.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>

namespace tarn {

namespace fs = std::filesystem;

namespace {

const char* const BrlttyHint =
    "brltty takes such cables for a braille display: remove it (sudo apt remove brltty) or "
    "disable its udev rule";

const std::string ModemManagerHint =
    std::string("ModemManager is running and probes such cables: install Tarn's udev rule ") + CableRuleFile
    + " (see man tarn)";

std::string firstLine(const fs::path& file)
{
    std::ifstream in(file);
    std::string line;
    std::getline(in, line);
    return line;
}

bool isNumber(const std::string& text)
{
    return !text.empty() && text.find_first_not_of("0123456789") == std::string::npos;
}

std::vector<ProcessInfo> processes(const SystemView& view)
{
    std::vector<ProcessInfo> found;
    std::error_code error;
    for (fs::directory_iterator it(view.procRoot, error), end; !error && it != end; it.increment(error)) {
        const std::string pid = it->path().filename().string();
        if (isNumber(pid))
            found.push_back({std::atoi(pid.c_str()), firstLine(it->path() / "comm")});
    }
    return found;
}

std::string canonical(const std::string& path)
{
    std::error_code error;
    const fs::path resolved = fs::canonical(path, error);
    return error ? path : resolved.string();
}

bool isUsbAdapter(const std::string& device)
{
    return PortMap::isUsbAdapter(QString::fromStdString(canonical(device)))
        || PortMap::isUsbAdapter(QString::fromStdString(device));
}

// Whether ModemManager has been told to leave the device alone: udev's record of the device
// says so where there is one (a cable chip the rule does not know is not ignored), else
// Tarn's rule is taken to cover it.
bool modemManagerIgnores(const std::string& device, const SystemView& view)
{
    struct stat info {};
    if (::stat(device.c_str(), &info) == 0 && S_ISCHR(info.st_mode)) {
        const fs::path record = fs::path(view.udevDataDir)
            / ("c" + std::to_string(major(info.st_rdev)) + ":" + std::to_string(minor(info.st_rdev)));
        std::ifstream in(record);
        if (in) {
            for (std::string line; std::getline(in, line);)
                if (line == "E:ID_MM_DEVICE_IGNORE=1")
                    return true;
            return false;
        }
    }
    for (const std::string& dir : view.udevRuleDirs) {
        std::error_code error;
        if (fs::exists(fs::path(dir) / CableRuleFile, error))
            return true;
    }
    return false;
}

std::string permissionHint(const std::string& device)
{
    std::string groupName = "dialout";
    struct stat info {};
    if (::stat(device.c_str(), &info) == 0) {
        if (info.st_gid == 0 || (info.st_mode & S_IRWXG) == 0)
            return std::string("only root may use it: install Tarn's udev rule ") + CableRuleFile + " (see man tarn)";
        if (const struct group* entry = ::getgrgid(info.st_gid))
            groupName = entry->gr_name;
    }
    return "join the group " + groupName + " (sudo usermod -aG " + groupName + " $USER, then log in again)";
}

}  // namespace

std::vector<ProcessInfo> processesHolding(const std::string& device, const SystemView& view)
{
    const std::string target = canonical(device);
    std::vector<ProcessInfo> holders;
    for (const ProcessInfo& process : processes(view)) {
        std::error_code error;
        const fs::path fds = fs::path(view.procRoot) / std::to_string(process.pid) / "fd";
        for (fs::directory_iterator it(fds, error), end; !error && it != end; it.increment(error)) {
            std::error_code linkError;
            const fs::path link = fs::read_symlink(it->path(), linkError);
            if (!linkError && (link.string() == target || link.string() == device)) {
                holders.push_back(process);
                break;
            }
        }
    }
    return holders;
}

bool processRunning(const std::string& name, const SystemView& view)
{
    for (const ProcessInfo& process : processes(view))
        if (process.name == name)
            return true;
    return false;
}

std::string cableWarning(const std::string& device, const SystemView& view)
{
    if (!isUsbAdapter(device) || !processRunning("ModemManager", view) || modemManagerIgnores(device, view))
        return {};
    return ModemManagerHint;
}

std::string explainPort(const std::string& device, CommPort::OpenFailure failure,
                        const std::string& reason, const SystemView& view)
{
    using Failure = CommPort::OpenFailure;
    const bool usb = isUsbAdapter(device);
    const std::string warning = cableWarning(device, view);
    switch (failure) {
    case Failure::None:
        return warning.empty() ? "can be opened" : "can be opened; " + warning;
    case Failure::NoDevice:
        return "no device";
    case Failure::Missing:
        if (usb && processRunning("brltty", view))
            return reason + "; " + BrlttyHint;
        return reason;
    case Failure::NoPermission:
        return reason + ": " + permissionHint(device);
    case Failure::Busy: {
        const std::vector<ProcessInfo> holders = processesHolding(device, view);
        if (holders.empty())
            return warning.empty() ? reason : reason + "; " + warning;
        std::string text = "in use by ";
        bool brltty = false;
        bool modemManager = false;
        for (std::size_t i = 0; i < holders.size(); ++i) {
            text += (i ? ", " : "") + holders[i].name + " (PID " + std::to_string(holders[i].pid) + ")";
            brltty = brltty || holders[i].name == "brltty";
            modemManager = modemManager || holders[i].name == "ModemManager";
        }
        if (brltty)
            text += std::string("; ") + BrlttyHint;
        else if (modemManager)
            text += "; " + ModemManagerHint;
        return text;
    }
    case Failure::NotSerial:
    case Failure::Other:
        break;
    }
    return reason;
}

PortState diagnosePort(CommPort& port, int number, const SystemView& view)
{
    const std::string device = PortMap::deviceForPort(number).toStdString();
    const bool usable = port.open(PortName(number));
    const CommPort::OpenFailure failure = usable ? CommPort::OpenFailure::None : port.lastOpenFailure();
    const std::string reason = port.lastOpenError();
    port.closeIfOpen();
    return {usable, explainPort(device, failure, reason, view)};
}

}  // namespace tarn
