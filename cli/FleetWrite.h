// tarn-cli write to a fleet: a radio on each port given (--port more than once) or radio after
// radio on one cable (--repeat), with per-radio values (--per-radio) and the log (--log).
#pragma once

#include "cli/CliLanguage.h"
#include "cli/Commands.h"
#include "link/TransferJob.h"
#include "radio/RadioImage.h"

#include <functional>
#include <string>
#include <vector>

namespace tarn::cli {

inline const CommandOption RepeatOption{"--repeat", "",
    "With one --port: write the radio on it, ring the terminal bell, wait until that radio is taken "
    "off the cable and the next one answers, and go on until Ctrl+C; the radios are counted."};
inline const CommandOption PerRadioOption{"--per-radio", "VALUES.csv",
    "Per-radio values: a header row, then one row per radio. Column \"port\" matches a row to a port "
    "(with --repeat the rows are taken in order); every other column is a setting named by its key as "
    "\"tarn-cli export\" writes it (port,startupText,localId). A radio whose row is missing or refused "
    "is not written."};
inline const CommandOption LogOption{"--log", "LOG.csv",
    "Append one line per radio to LOG.csv (default: fleet-log.csv in the data folder, beside the "
    "backups): time, port, device, stable name, configuration, sha256, values, result, verify, backup."};

// Whether the options ask for a fleet write rather than a single one.
inline bool isFleetWrite(const Invocation& call)
{
    return call.values("--port").size() > 1 || call.has(RepeatOption.name) || call.has(PerRadioOption.name)
        || call.has(LogOption.name);
}

struct FleetWrite {
    std::string path;  // the configuration file
    RadioImage image;  // as loaded from it
    std::vector<int> ports;
    // "tarn-cli write --quick BACKUP --port N ..." for a radio whose write ended badly.
    std::function<std::string(const RestoreOffer&)> restoreCommand;
};

// Runs the fleet write and reports it; the exit code is 0 when every radio succeeded, else
// the highest of the radios' exit codes.
int runFleetWrite(const Invocation& call, const CliLanguage& language, const FleetWrite& request);

}  // namespace tarn::cli
