// Programming a fleet: one configuration written to many radios, side by side or one after
// another on the same cable; tarn-cli and the window run it and show its state.
#pragma once

#include "fleet/FleetLog.h"
#include "fleet/PerRadioValues.h"
#include "link/Backups.h"
#include "link/TransferJob.h"
#include "radio/LanguageText.h"
#include "radio/RadioImage.h"

#include <QString>

#include <atomic>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace tarn {

// The language strings of a fleet run.
namespace fleetstrings {
inline constexpr int Command = 370;        // "Program several radios..."
inline constexpr int Title = 371;
inline constexpr int ValuesLabel = 372;    // "Per-radio values:"
inline constexpr int SameCable = 373;      // "Next radio on the same cable"
inline constexpr int Start = 374;
inline constexpr int Stop = 375;
inline constexpr int Device = 376;
inline constexpr int Progress = 377;
inline constexpr int Result = 378;
inline constexpr int Verify = 379;
inline constexpr int Backup = 380;
inline constexpr int WaitingForRadio = 381;  // "Waiting for a radio on " + port
inline constexpr int TakeRadioOff = 382;     // "Done. Take the radio off the cable."
inline constexpr int Written = 383;
inline constexpr int Unchanged = 384;
inline constexpr int NoRadio = 385;
inline constexpr int Failed = 386;
inline constexpr int Refused = 387;
inline constexpr int ValuesRefused = 388;
inline constexpr int Stopped = 389;
inline constexpr int Equal = 390;
inline constexpr int Differs = 391;
inline constexpr int RadiosWritten = 392;  // "Radios written: " + count
}  // namespace fleetstrings

enum class RadioPhase { Waiting, Connecting, Reading, Writing, Done };

enum class RadioResult {
    Pending,
    Written,        // the changes went out and the radio was checked
    Unchanged,      // the radio held the configuration already: nothing was sent
    NoRadio,        // nothing answered on the port, or the radio failed identification
    Failed,         // reading the radio first, or writing it, failed
    Refused,        // the band-limit check refused the configuration: nothing was sent
    ValuesRefused,  // the per-radio values could not be applied: the port was not opened
    Stopped,        // stopped (Ctrl+C, the Stop button) before the write had ended
};

// The read-back of what was written.
enum class RadioVerify { NotRun, Equal, Differs, ReadBackFailed };

// What became of one radio, and how far it is.
struct RadioState {
    int number = 0;  // 1, 2, ... in the order the radios were taken
    int port = 0;
    std::string device;      // what the port number stands for
    std::string stableName;  // the device's name under /dev/serial/by-id; "" when none
    RadioPhase phase = RadioPhase::Waiting;
    int percent = 0;  // of the whole write: the read first is the first half
    RadioResult result = RadioResult::Pending;
    RadioVerify verify = RadioVerify::NotRun;
    std::string values;  // the per-radio values applied, as the log holds them
    std::string backup;  // the before-write backup, "" when none was kept
    std::string summary;  // "16-byte blocks written: 2/265", "" when nothing was written
    // Why it failed, one line each: the refusal and its detail, the values' problem, where the
    // copy of what the radio held is, backups that were not kept.
    std::vector<std::string> detail;
    RestoreOffer restore;      // what to write back after a write that began and ended badly
    std::string logProblem;    // why its log line could not be appended; "" when it was
    bool finished() const { return phase == RadioPhase::Done; }
    bool succeeded() const
    {
        return (result == RadioResult::Written || result == RadioResult::Unchanged)
            && (verify == RadioVerify::NotRun || verify == RadioVerify::Equal) && logProblem.empty();
    }
};

// Where the one-cable loop is.
enum class LoopState { Off, WaitingForRadio, Writing, WaitingForRemoval, Ended };

struct FleetSettings {
    // As the configuration file holds it; each radio gets its per-radio values and the
    // current-channel fix-up on a copy.
    RadioImage configuration;
    std::string configurationPath;  // for the log
    std::string configurationSha256;
    bool useValues = false;
    PerRadioValues values;
    std::string valuesName;  // the values file, to name it in a refusal
    QString backupFolder;    // empty: no backups (and no copy to put back)
    QString logPath;         // the fleet log
    LanguageText text;       // the refusal's and the results' words; safe from any thread
};

// The fixed words of the log's result and verify columns (never translated).
std::string RadioResultWord(RadioResult result);
std::string RadioVerifyWord(RadioVerify verify);
// The words the window and tarn-cli show for them.
std::string RadioResultText(RadioResult result, const LanguageText& text);
std::string RadioVerifyText(RadioVerify verify, const LanguageText& text);

// One TransferJob per port, each on its own thread (or one job for radio after radio on one
// cable). Every radio gets all a single write does (the bound port, the copy of what it held
// taken first, the band-limit check, the changes only, the read-back, the backup), its own
// per-radio values, and a line in the fleet log.
class FleetRun {
public:
    explicit FleetRun(FleetSettings settings);
    // Stops what still runs and waits for it.
    ~FleetRun();
    FleetRun(const FleetRun&) = delete;
    FleetRun& operator=(const FleetRun&) = delete;

    // One radio on each port, all at once; a radio that fails never stops the others. False,
    // with the reason, when the log cannot be opened or no port is given: nothing has started.
    bool startPorts(const std::vector<int>& ports, std::string* error);
    // One radio after another on `port`: a radio is written when it answers, and the next one
    // once it has stopped answering (taken off the cable), until stopped.
    bool startLoop(int port, std::string* error);

    // Ends every transfer the way a job stops (within a fraction of a second) and the loop.
    // Touches only atomics: safe from a signal handler.
    void requestStop();
    bool stopRequested() const { return m_stop.load(); }
    bool finished() const;
    // Waits at most `ms` for a change of state; true once the run has finished.
    bool waitForChange(int ms);
    void wait();

    std::vector<RadioState> radios() const;
    LoopState loopState() const;
    int loopPort() const { return m_loopPort; }
    // The log the run appends to.
    const QString& logPath() const { return m_settings.logPath; }

private:
    struct Slot;
    class Listener;
    bool openLog(std::string* error);
    void startThreads();
    void runPort(Slot& slot);
    void runLoop(Slot& slot);
    // Takes the radio on the slot's port through the write and records it as state `index`;
    // `values` is its row (null: none, `why` says why).
    void writeRadio(Slot& slot, std::size_t index, const RadioValues* values, const std::string& why);
    // Whether a radio answers the entry sequence on the port now (a whole session, closed again).
    bool radioAnswers(int port);
    // Changes the state under the lock and tells the waiters.
    void update(const std::function<void()>& change);
    void setLoopState(LoopState state);
    // The radio's log line, then its end.
    void finishRadio(std::size_t index);
    // Waits `ms`, cut short by a stop.
    void pause(int ms);

    FleetSettings m_settings;
    BackupStore m_backups;
    FleetLog m_log;
    std::atomic<bool> m_stop{false};
    // Slots are made before the threads start and never move: a stop reaches their jobs
    // without a lock.
    std::vector<std::unique_ptr<Slot>> m_slots;
    std::vector<std::thread> m_threads;
    int m_loopPort = 0;
    mutable std::mutex m_mutex;
    std::condition_variable m_changed;
    std::vector<RadioState> m_states;
    LoopState m_loopState = LoopState::Off;
    int m_running = 0;  // threads not yet finished
};

}  // namespace tarn
