#include "fleet/FleetRun.h"

#include "link/CommPort.h"
#include "link/PortMap.h"
#include "link/Protocol.h"
#include "link/TransferListener.h"
#include "link/VerifyReport.h"
#include "link/WriteChecks.h"
#include "link/PortRange.h"

#include <QDateTime>

#include <chrono>
#include <optional>

namespace tarn {

// One port and the job that writes the radio on it. The loop writes one radio after another
// through the same slot.
struct FleetRun::Slot {
    int port = 0;
    std::string device;
    TransferJob job;
    RadioImage image;  // what this radio is sent: the configuration with its values
    std::size_t state = 0;  // the radio's entry in m_states
    std::optional<TransferResult> result;  // the job's result, once it has posted one
    bool refused = false;   // the band-limit check said no
};

// Answers the job on its own thread as tarn-cli does: no questions, the band-limit check
// against this radio's copy, the progress into the radio's state.
class FleetRun::Listener : public TransferListener {
public:
    Listener(FleetRun& run, Slot& slot) : m_run(run), m_slot(slot) {}

    void transferProgress(int n) override
    {
        if (n <= 0)
            return;
        m_run.update([&] {
            RadioState& state = m_run.m_states[m_slot.state];
            // A port that did not answer counts one step too: the read has begun at the second.
            if (state.phase == RadioPhase::Connecting && n >= 2)
                state.phase = RadioPhase::Reading;
            if (state.phase == RadioPhase::Connecting)
                return;
            state.percent = state.phase == RadioPhase::Writing ? 50 + n / 2 : n / 2;
        });
    }

    int imageNotify(ImageNotifyCode code) override
    {
        if (code == ImageNotifyCode::ConfirmChanges) {
            m_run.update([&] {
                RadioState& state = m_run.m_states[m_slot.state];
                state.phase = RadioPhase::Writing;
                state.percent = 50;
            });
            return 1;
        }
        if (code == ImageNotifyCode::CheckBeforeWrite) {
            const BandLimitVerdict verdict = bandLimitCheck(m_slot.image, m_run.m_settings.text);
            if (!verdict.pass) {
                m_slot.refused = true;
                m_run.update([&] {
                    RadioState& state = m_run.m_states[m_slot.state];
                    state.detail.push_back(verdict.message);
                    state.detail.insert(state.detail.end(), verdict.detail.begin(), verdict.detail.end());
                });
            }
            return verdict.answer();
        }
        // The job tries the radio's own port alone, so no radio answers on another one.
        return 1;
    }

    void transferResult(TransferResult code) override { m_slot.result = code; }

private:
    FleetRun& m_run;
    Slot& m_slot;
};

std::string RadioResultWord(RadioResult result)
{
    switch (result) {
    case RadioResult::Pending: return "pending";
    case RadioResult::Written: return "written";
    case RadioResult::Unchanged: return "unchanged";
    case RadioResult::NoRadio: return "no radio";
    case RadioResult::Failed: return "failed";
    case RadioResult::Refused: return "refused by band limits";
    case RadioResult::ValuesRefused: return "values refused";
    case RadioResult::Stopped: return "stopped";
    }
    return {};
}

std::string RadioVerifyWord(RadioVerify verify)
{
    switch (verify) {
    case RadioVerify::NotRun: return "";
    case RadioVerify::Equal: return "equal";
    case RadioVerify::Differs: return "differs";
    case RadioVerify::ReadBackFailed: return "read-back failed";
    }
    return {};
}

std::string RadioResultText(RadioResult result, const LanguageText& text)
{
    switch (result) {
    case RadioResult::Pending: return {};
    case RadioResult::Written: return text(fleetstrings::Written);
    case RadioResult::Unchanged: return text(fleetstrings::Unchanged);
    case RadioResult::NoRadio: return text(fleetstrings::NoRadio);
    case RadioResult::Failed: return text(fleetstrings::Failed);
    case RadioResult::Refused: return text(fleetstrings::Refused);
    case RadioResult::ValuesRefused: return text(fleetstrings::ValuesRefused);
    case RadioResult::Stopped: return text(fleetstrings::Stopped);
    }
    return {};
}

std::string RadioVerifyText(RadioVerify verify, const LanguageText& text)
{
    switch (verify) {
    case RadioVerify::NotRun: return {};
    case RadioVerify::Equal: return text(fleetstrings::Equal);
    case RadioVerify::Differs: return text(fleetstrings::Differs);
    case RadioVerify::ReadBackFailed: return text(fleetstrings::Failed);
    }
    return {};
}

FleetRun::FleetRun(FleetSettings settings) : m_settings(std::move(settings)), m_backups(m_settings.backupFolder) {}

FleetRun::~FleetRun()
{
    requestStop();
    for (std::thread& thread : m_threads)
        if (thread.joinable())
            thread.join();
}

bool FleetRun::openLog(std::string* error)
{
    std::string why;
    if (m_log.open(m_settings.logPath, &why))
        return true;
    *error = "cannot append to the log " + m_settings.logPath.toStdString() + ": " + why;
    return false;
}

bool FleetRun::startPorts(const std::vector<int>& ports, std::string* error)
{
    if (!m_threads.empty()) {
        *error = "the run has started already";
        return false;
    }
    if (ports.empty()) {
        *error = "no port is given";
        return false;
    }
    if (!openLog(error))
        return false;
    for (int port : ports) {
        auto slot = std::make_unique<Slot>();
        slot->port = port;
        slot->device = PortMap::deviceForPort(port).toStdString();
        slot->state = m_states.size();
        RadioState state;
        state.number = static_cast<int>(m_states.size()) + 1;
        state.port = port;
        state.device = slot->device;
        state.stableName = StableDeviceName(slot->device);
        m_states.push_back(state);
        m_slots.push_back(std::move(slot));
    }
    startThreads();
    return true;
}

bool FleetRun::startLoop(int port, std::string* error)
{
    if (!m_threads.empty()) {
        *error = "the run has started already";
        return false;
    }
    if (!openLog(error))
        return false;
    auto slot = std::make_unique<Slot>();
    slot->port = port;
    slot->device = PortMap::deviceForPort(port).toStdString();
    m_loopPort = port;
    m_loopState = LoopState::WaitingForRadio;
    m_slots.push_back(std::move(slot));
    startThreads();
    return true;
}

void FleetRun::startThreads()
{
    m_running = static_cast<int>(m_slots.size());
    for (const std::unique_ptr<Slot>& slot : m_slots) {
        Slot* s = slot.get();
        m_threads.emplace_back([this, s] {
            if (m_loopPort != 0)
                runLoop(*s);
            else
                runPort(*s);
            update([this] { --m_running; });
        });
    }
}

void FleetRun::requestStop()
{
    m_stop.store(true);
    for (const std::unique_ptr<Slot>& slot : m_slots)
        slot->job.requestStop();
}

bool FleetRun::finished() const
{
    std::lock_guard lock(m_mutex);
    return !m_slots.empty() && m_running == 0;
}

bool FleetRun::waitForChange(int ms)
{
    std::unique_lock lock(m_mutex);
    if (m_running > 0)
        m_changed.wait_for(lock, std::chrono::milliseconds(ms));
    return !m_slots.empty() && m_running == 0;
}

void FleetRun::wait()
{
    std::unique_lock lock(m_mutex);
    m_changed.wait(lock, [this] { return m_running == 0; });
}

std::vector<RadioState> FleetRun::radios() const
{
    std::lock_guard lock(m_mutex);
    return m_states;
}

LoopState FleetRun::loopState() const
{
    std::lock_guard lock(m_mutex);
    return m_loopState;
}

void FleetRun::update(const std::function<void()>& change)
{
    {
        std::lock_guard lock(m_mutex);
        change();
    }
    m_changed.notify_all();
}

void FleetRun::setLoopState(LoopState state)
{
    update([&] { m_loopState = state; });
}

void FleetRun::pause(int ms)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(ms);
    while (!m_stop.load() && std::chrono::steady_clock::now() < until)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

void FleetRun::runPort(Slot& slot)
{
    std::string why;
    const RadioValues* row = m_settings.useValues ? m_settings.values.rowForPort(slot.port, &why) : nullptr;
    writeRadio(slot, slot.state, row, why);
}

void FleetRun::runLoop(Slot& slot)
{
    std::size_t taken = 0;
    while (!m_stop.load()) {
        setLoopState(LoopState::WaitingForRadio);
        while (!m_stop.load() && !radioAnswers(slot.port))
            pause(500);
        if (m_stop.load())
            break;
        setLoopState(LoopState::Writing);
        RadioState state;
        state.number = static_cast<int>(++taken);
        state.port = slot.port;
        state.device = slot.device;
        state.stableName = StableDeviceName(slot.device);
        update([&] {
            slot.state = m_states.size();
            m_states.push_back(state);
        });
        std::string why;
        const RadioValues* row = m_settings.useValues ? m_settings.values.rowAt(taken - 1, &why) : nullptr;
        writeRadio(slot, slot.state, row, why);
        // Without values for the next radio there is nothing more to program.
        if (m_settings.useValues && !row)
            break;
        if (m_stop.load())
            break;
        setLoopState(LoopState::WaitingForRemoval);
        while (!m_stop.load() && radioAnswers(slot.port))
            pause(500);
    }
    setLoopState(LoopState::Ended);
}

bool FleetRun::radioAnswers(int port)
{
    CommPort line;
    line.setStopFlag(&m_stop);
    if (!line.open(PortName(port))) {
        line.close();
        return false;
    }
    Protocol protocol(line);
    const bool answered = protocol.enterProgramming(0);
    // The radio ends the session as after any transfer's identification: the port closes.
    if (answered)
        protocol.identify();
    line.close();
    return answered;
}

void FleetRun::writeRadio(Slot& slot, std::size_t index, const RadioValues* values, const std::string& why)
{
    const LanguageText& text = m_settings.text;
    slot.image = m_settings.configuration;
    slot.result.reset();
    slot.refused = false;

    if (m_settings.useValues) {
        std::string problem = why;
        bool applied = false;
        if (values) {
            update([&] { m_states[index].values = RadioValuesText(*values); });
            applied = ApplyRadioValues(*values, slot.image, &problem);
        }
        if (!applied) {
            // Refused before the port is opened: nothing reaches this radio.
            update([&] {
                RadioState& state = m_states[index];
                state.result = RadioResult::ValuesRefused;
                state.detail.push_back(m_settings.valuesName + ": " + problem);
            });
            finishRadio(index);
            return;
        }
    }

    slot.image.setPortNumber(slot.port);
    currentChannelFixUp(slot.image);
    Listener listener(*this, slot);
    TransferJob& job = slot.job;
    job.prepare(&listener, &slot.image);
    job.setBackups(m_settings.backupFolder.isEmpty() ? nullptr : &m_backups);
    job.setReadBeforeWrite(true);
    job.setVerifyAfterWrite(false);
    job.setOnlyStoredPort(true);
    update([&] { m_states[index].phase = RadioPhase::Connecting; });
    if (job.start(TransferJob::Write)) {
        // A stop asked for while the job was not yet started would have been cleared by the start.
        if (m_stop.load())
            job.requestStop();
        job.run();
    }

    const WritePlan& plan = job.writePlan();
    const VerifyOutcome& verify = job.verifyOutcome();
    const RestoreOffer& restore = job.restoreOffer();
    update([&] {
        RadioState& state = m_states[index];
        state.restore = restore;
        for (const BackupResult& backup : job.backupResults())
            if (backup.kept)
                state.backup = backup.path;
        if (slot.result == TransferResult::WriteSucceeded) {
            state.result = plan.nothingToChange() ? RadioResult::Unchanged : RadioResult::Written;
            state.summary = WriteSummary(plan, text);
            if (verify.ran) {
                state.verify = !verify.readOk ? RadioVerify::ReadBackFailed
                    : verify.equal            ? RadioVerify::Equal
                                              : RadioVerify::Differs;
                for (const std::string& line : VerifyDifferences(verify, text))
                    state.detail.push_back(line);
            }
        } else if (slot.result == TransferResult::NoRadio) {
            state.result = RadioResult::NoRadio;
        } else if (slot.refused) {
            state.result = RadioResult::Refused;
        } else if (job.stopRequested() || m_stop.load()) {
            state.result = RadioResult::Stopped;
        } else {
            state.result = RadioResult::Failed;
        }
        const std::string where = RestoreText(restore, text);
        if (!where.empty())
            state.detail.push_back(where);
        for (const std::string& line : BackupFailures(job.backupResults(), text))
            state.detail.push_back(line);
    });
    finishRadio(index);
}

void FleetRun::finishRadio(std::size_t index)
{
    FleetLogRecord record;
    {
        std::lock_guard lock(m_mutex);
        const RadioState& state = m_states[index];
        record.when = QDateTime::currentDateTime();
        record.port = state.port;
        record.device = state.device;
        record.stableName = state.stableName;
        record.configuration = m_settings.configurationPath;
        record.sha256 = m_settings.configurationSha256;
        record.values = state.values;
        record.result = RadioResultWord(state.result);
        record.verify = RadioVerifyWord(state.verify);
        record.backup = state.backup;
    }
    std::string problem;
    const bool logged = m_log.append(FleetLogLine(record), &problem);
    update([&] {
        RadioState& state = m_states[index];
        if (!logged)
            state.logProblem = m_settings.logPath.toStdString() + ": " + problem;
        if (state.succeeded())
            state.percent = 100;
        state.phase = RadioPhase::Done;
    });
}

}  // namespace tarn
