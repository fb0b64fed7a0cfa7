// The radio commands of tarn-cli: "read", "write" and "verify" run the same transfer job as
// the window, on this thread, and report with the window's texts, naming the port they used;
// "backups" lists the kept copies; "ports" shows which port numbers lead to a device that can
// be opened now.
#include "cli/CliFiles.h"
#include "cli/CliLanguage.h"
#include "cli/Commands.h"
#include "cli/FleetWrite.h"

#include "link/Backups.h"
#include "link/CommPort.h"
#include "link/PortDiagnosis.h"
#include "link/PortMap.h"
#include "link/ResultText.h"
#include "link/TransferJob.h"
#include "link/TransferListener.h"
#include "link/VerifyReport.h"
#include "link/WriteChecks.h"
#include "radio/ConfigFile.h"
#include "radio/RadioImage.h"
#include "link/PortRange.h"

#include <QString>
#include <QStringList>

#include <algorithm>
#include <cctype>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <optional>
#include <iomanip>
#include <sstream>

#include <cerrno>
#include <unistd.h>

namespace tarn::cli {

namespace {

const CommandOption PortOption{"--port", "N",
    "Use port number N (1-20) and no other: when no radio answers there, the result is \"no radio\". "
    "Without it the scan tries the stored port (port 1 for a read), then every other port. write: "
    "given more than once, one radio on each port, all at once."};
const CommandOption PortsOption{"--ports", "MAP",
    "Port numbers to devices, \"N=DEVICE[,N=DEVICE...]\", as TARN_PORTS (which it replaces); "
    "an empty MAP leaves every port without a device."};
const CommandOption TraceOption{"--trace", "",
    "Show every port tried and every byte sent (>) and received (<) on standard error, in hex with "
    "the time in seconds."};

const CommandOption NoBackupOption{"--no-backup", "",
    "Do not keep the image in the backups folder (after a read, before a write)."};

const CommandOption VerifyOption{"--verify", "",
    "With --quick: after a successful write, read the whole radio back and compare (exit 6 when it "
    "differs). A write that reads the radio first always reads back the blocks it wrote."};

const CommandOption QuickOption{"--quick", "",
    "Send every chunk of the file without reading the radio first (the radio's own way of "
    "programming); the before-write backup then holds the file."};

const CommandOption DryRunOption{"--dry-run", "",
    "Read the radio and list what a write would change, and send nothing. Exit 0 when nothing would "
    "change, 1 when something would."};

// Applies --ports; false with the reason when it, or TARN_PORTS in its absence, has entries
// that are not N=DEVICE with N from 1 to 20.
bool applyPortMap(const Invocation& call, std::string* error)
{
    if (!call.has(PortsOption.name)) {
        const QString problem = PortMap::assignmentError(qEnvironmentVariable("TARN_PORTS"));
        if (!problem.isEmpty())
            *error = "TARN_PORTS: " + problem.toStdString();
        return problem.isEmpty();
    }
    const QString map = QString::fromStdString(call.value(PortsOption.name));
    const QString problem = PortMap::assignmentError(map);
    if (!problem.isEmpty()) {
        *error = "--ports: " + problem.toStdString();
        return false;
    }
    // An empty assignment would fall back to TARN_PORTS and the system's ports; a lone
    // separator is a map that names no device at all.
    PortMap::setOverride(map.trimmed().isEmpty() ? QStringLiteral(",") : map);
    return true;
}

// --port N: the one port to use; `port` is left alone without the option.
// One --port value: a port number from 1 to 20; nothing, with the reason, otherwise.
std::optional<int> portValue(const std::string& value, std::string* error)
{
    bool ok = false;
    const int n = QString::fromStdString(value).toInt(&ok);
    if (!ok || n < TransferJob::FirstPort || n > TransferJob::LastPort) {
        *error = "--port needs a port number from 1 to 20, not '" + value + "'";
        return std::nullopt;
    }
    return n;
}

bool portNumber(const Invocation& call, int* port, std::string* error)
{
    if (!call.has(PortOption.name))
        return true;
    const std::optional<int> n = portValue(call.value(PortOption.name), error);
    if (n)
        *port = *n;
    return n.has_value();
}

TransferJob* interruptedJob = nullptr;

extern "C" void stopOnInterrupt(int)
{
    // The first Ctrl+C ends the transfer within a fraction of a second, also while it waits
    // on a quiet line, and closes the port; a second one ends the program at once.
    if (interruptedJob)
        interruptedJob->requestStop();
    std::signal(SIGINT, SIG_DFL);
}

// Answers the job as the window does, but on the worker's own (this) thread, and asks nothing:
// a write goes ahead with the changes it found, a dry run lists them and stops there.
class CliListener : public TransferListener {
public:
    CliListener(RadioImage& image, const CliLanguage& language, const Invocation& call, std::string label,
                bool showProgress)
        : m_image(image), m_language(language), m_out(call.out), m_err(call.err), m_label(std::move(label)),
          m_showProgress(showProgress), m_trace(call.has(TraceOption.name)), m_dryRun(call.has(DryRunOption.name))
    {
    }

    void setJob(const TransferJob* job) { m_job = job; }
    TransferResult result() const { return m_result; }

    void transferProgress(int n) override
    {
        if (!m_showProgress)
            return;
        if (n == 0) {
            clearProgress();
            return;
        }
        const int width = 30;
        const int filled = std::min(n, 100) * width / 100;
        std::fprintf(stderr, "\r%s[%s%s] %3d%%", m_label.c_str(), std::string(filled, '#').c_str(),
                     std::string(width - filled, ' ').c_str(), std::min(n, 100));
        std::fflush(stderr);
        m_progressOnScreen = true;
    }

    int imageNotify(ImageNotifyCode code) override
    {
        switch (code) {
        case ImageNotifyCode::CheckBeforeWrite: {
            const BandLimitVerdict verdict = bandLimitCheck(m_image, m_language.function());
            if (!verdict.pass) {
                clearProgress();
                showRefusal(verdict);
            }
            return verdict.answer();
        }
        case ImageNotifyCode::ConfirmOtherPort:
            if (m_job) {
                const TransferPorts& ports = m_job->ports();
                clearProgress();
                m_err << "tarn-cli: the radio answered on " << PortDisplayName(ports.answered, ports.answeredDevice)
                      << ", not on the configuration's port " << PortDisplayName(ports.start, ports.startDevice)
                      << "; going on with it (--port N uses port N alone)\n";
            }
            return 1;
        case ImageNotifyCode::ConfirmChanges:
            if (m_job) {
                clearProgress();
                m_out << WritePreviewHeading(m_language.function()) << "\n";
                for (const std::string& line : WritePreviewLines(m_job->writePlan(), m_language.function()))
                    m_out << "  " << line << "\n";
                m_out.flush();
            }
            if (m_dryRun) {
                // What the write would meet next: the band-limit check.
                const BandLimitVerdict verdict = bandLimitCheck(m_image, m_language.function());
                if (!verdict.pass)
                    showRefusal(verdict);
                return 0;
            }
            return 1;
        default:
            return 1;
        }
    }

    void transferResult(TransferResult code) override { m_result = code; }

    void scanningPort(int n) override
    {
        if (m_trace)
            m_err << m_language.text(337) << PortDisplayName(n, PortMap::deviceForPort(n).toStdString()) << std::endl;
    }

private:
    void showRefusal(const BandLimitVerdict& verdict)
    {
        m_out << verdict.message << "\n";
        for (const std::string& line : verdict.detail)
            m_out << line << "\n";
        m_out.flush();
    }

    void clearProgress()
    {
        if (!m_progressOnScreen)
            return;
        std::fputs("\r\033[K", stderr);
        std::fflush(stderr);
        m_progressOnScreen = false;
    }

    RadioImage& m_image;
    const CliLanguage& m_language;
    std::ostream& m_out;
    std::ostream& m_err;
    std::string m_label;
    bool m_showProgress;
    bool m_trace;
    bool m_dryRun;
    const TransferJob* m_job = nullptr;
    bool m_progressOnScreen = false;
    // A job posts its result on every path; no radio until it has.
    TransferResult m_result = TransferResult::NoRadio;
};

void traceBytes(std::chrono::steady_clock::time_point start, bool sent, const std::uint8_t* bytes, int n)
{
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::ostringstream line;
    line << std::fixed << std::setprecision(3) << std::setw(9) << seconds << (sent ? " > " : " < ")
         << std::hex << std::uppercase << std::setfill('0');
    for (int i = 0; i < n; ++i) {
        if (i > 0 && i % 16 == 0)
            line << "\n" << std::string(12, ' ');
        else if (i > 0)
            line << ' ';
        line << std::setw(2) << static_cast<int>(bytes[i]);
    }
    line << "\n";
    std::fputs(line.str().c_str(), stderr);
}

// What a transfer left for the report: its result code and what the job knows of it.
struct TransferRun {
    TransferResult result = TransferResult::NoRadio;
    TransferPorts ports;
    VerifyOutcome verify;
    WritePlan plan;
    RestoreOffer restore;
};

// Runs a read, a write or a verify of `image` on this thread.
TransferRun runTransfer(const Invocation& call, TransferJob::Operation operation, RadioImage& image,
                        const CliLanguage& language, bool onlyPort)
{
    const bool trace = call.has(TraceOption.name);
    // Trace lines and a redrawn progress bar would tear each other apart.
    const bool showProgress = !trace && isatty(fileno(stderr));
    std::string label = language.text(operation == TransferJob::Read ? 122 : 123);
    if (!label.empty() && label.back() != ' ')
        label += ' ';
    CliListener listener(image, language, call, label, showProgress);

    TransferJob job;
    job.prepare(&listener, &image);
    listener.setJob(&job);
    const BackupStore backups;
    if (!call.has(NoBackupOption.name))
        job.setBackups(&backups);
    const bool quick = call.has(QuickOption.name);
    job.setReadBeforeWrite(operation == TransferJob::Write && !quick);
    job.setVerifyAfterWrite(operation == TransferJob::Write && quick && call.has(VerifyOption.name));
    job.setOnlyStoredPort(onlyPort);
    if (trace) {
        const auto start = std::chrono::steady_clock::now();
        job.port()->setTrace([start](bool sent, const std::uint8_t* bytes, int n) {
            traceBytes(start, sent, bytes, n);
        });
    }
    TransferRun run;
    if (!job.start(operation)) {
        run.result = TransferResult::NoRadio;
        return run;
    }
    interruptedJob = &job;
    std::signal(SIGINT, stopOnInterrupt);
    job.run();
    std::signal(SIGINT, SIG_DFL);
    interruptedJob = nullptr;
    // A backup that could not be kept is worth a warning, never a failed transfer.
    for (const BackupResult& backup : job.backupResults())
        if (backup.kept)
            call.err << language.text(178) << backup.path << "\n";
    for (const std::string& line : BackupFailures(job.backupResults(), language.function()))
        call.err << line << "\n";
    run.result = listener.result();
    run.ports = job.ports();
    run.verify = job.verifyOutcome();
    run.plan = job.writePlan();
    run.restore = job.restoreOffer();
    return run;
}

// After no radio answered: why each port that has a device could not be used, and the
// ports that could be but have ModemManager near them.
void reportRefusedPorts(std::ostream& err)
{
    CommPort port;
    for (const PortEntry& entry : PortMap::listPorts()) {
        if (entry.device.isEmpty())
            continue;
        const PortState state = diagnosePort(port, entry.number);
        if (!state.usable || !cableWarning(entry.device.toStdString()).empty())
            err << "COM" << entry.number << " (" << entry.device.toStdString() << "): " << state.text << "\n";
    }
}

int exitCodeFor(TransferResult result)
{
    switch (result) {
    case TransferResult::ReadSucceeded:
    case TransferResult::WriteSucceeded:
        return ExitOk;
    case TransferResult::ReadFailed:
        return ExitReadFailed;
    case TransferResult::WriteFailed:
        return ExitWriteFailed;
    case TransferResult::VerifyEqual:
        return ExitOk;
    case TransferResult::VerifyDiffers:
        return ExitDiffers;
    case TransferResult::VerifyReadFailed:
        return ExitReadFailed;
    default:
        return ExitNoRadio;
    }
}

// The options every transfer command shares; false (with the message shown) on a usage error.
bool prepareTransfer(const Invocation& call, std::string_view command, CliLanguage& language, int* port)
{
    std::string error;
    if (!language.load(call, &error) || !applyPortMap(call, &error) || !portNumber(call, port, &error)) {
        call.err << "tarn-cli " << command << ": " << error << "\n";
        return false;
    }
    return true;
}

// The result with the port it went to; after no radio, why the ports could not be used.
void reportResult(const Invocation& call, const CliLanguage& language, const TransferRun& run)
{
    call.out << TransferResultText(run.result, run.ports, language.function()) << std::endl;
    if (run.result == TransferResult::NoRadio)
        reportRefusedPorts(call.err);
}

int runRead(const Invocation& call)
{
    CliLanguage language;
    int port = 0;
    if (!prepareTransfer(call, "read", language, &port))
        return ExitError;
    const std::string path = withTwExtension(call.arguments[0]);
    // A read takes a while; a target that cannot be written would only be found at the end.
    const std::string problem = saveTargetProblem(path);
    if (!problem.empty()) {
        call.err << "tarn-cli read: cannot write " << path << ": " << problem << "\n";
        return ExitError;
    }

    RadioImage image;
    image.setPortNumber(port != 0 ? port : TransferJob::FirstPort);
    const TransferRun run = runTransfer(call, TransferJob::Read, image, language, port != 0);
    reportResult(call, language, run);
    if (run.result != TransferResult::ReadSucceeded)
        return exitCodeFor(run.result);

    const FileResult saved = saveConfiguration(path, image);
    if (saved.outcome != FileOutcome::Saved) {
        call.err << "tarn-cli read: cannot write " << path << ": " << saved.reason << "\n";
        return ExitError;
    }
    call.out << "Saved to " << path << " (the radio answered on port " << image.portNumber() << ")\n";
    return ExitOk;
}

// The options of a write or a verify and the configuration it sends (with --port applied);
// false with the message shown. `onlyPort` tells whether --port bound the transfer to one port.
bool prepareToSend(const Invocation& call, std::string_view command, CliLanguage& language, RadioImage& image,
                   bool* onlyPort)
{
    int port = 0;
    if (!prepareTransfer(call, command, language, &port))
        return false;
    const std::string& path = call.arguments[0];
    const FileResult loaded = loadConfiguration(path, image);
    if (loaded.outcome == FileOutcome::CannotOpen) {
        call.err << "tarn-cli " << command << ": cannot open " << path << ": " << loaded.reason << "\n";
        return false;
    }
    if (loaded.outcome == FileOutcome::NotTarnFile) {
        call.out << NotTarnFileText(language.function()) << std::endl;
        call.err << "tarn-cli " << command << ": " << path
                 << " is not a Tarn configuration file (it does not begin with \"" << ConfigMagic
                 << "\"); nothing was sent\n";
        return false;
    }
    if (port != 0)
        image.setPortNumber(port);
    *onlyPort = port != 0;
    return true;
}

// The verdict of a read-back and, when the radio differs, every difference by meaning.
int reportVerify(const Invocation& call, const CliLanguage& language, const VerifyOutcome& outcome)
{
    call.out << VerifyVerdict(outcome, language.function()) << std::endl;
    for (const std::string& line : VerifyDifferences(outcome, language.function()))
        call.out << "  " << line << "\n";
    return !outcome.readOk ? ExitReadFailed : outcome.equal ? ExitOk : ExitDiffers;
}

// A word for a POSIX shell: as it is when it needs no quoting, else in single quotes.
std::string shellWord(const std::string& word)
{
    const bool plain = !word.empty() && std::all_of(word.begin(), word.end(), [](char c) {
        return std::isalnum(static_cast<unsigned char>(c)) || std::strchr("/._-=,:+@%", c);
    });
    if (plain)
        return word;
    std::string quoted = "'";
    for (char c : word)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

// The command that writes back what the radio held before a write.
std::string restoreCommand(const Invocation& call, const RestoreOffer& offer)
{
    std::string command = "tarn-cli write --quick " + shellWord(offer.backup.path) + " --port "
        + std::to_string(offer.port);
    if (call.has(PortsOption.name))
        command += " --ports " + shellWord(call.value(PortsOption.name));
    return command;
}

// Where the copy of what the radio held is, and the command that writes it back.
void reportRestore(const Invocation& call, const CliLanguage& language, const RestoreOffer& offer)
{
    const std::string where = RestoreText(offer, language.function());
    if (where.empty())
        return;
    call.out << where << "\n" << language.text(348) << restoreCommand(call, offer) << std::endl;
}

// write with --port given more than once, --repeat, --per-radio or --log: every radio on a
// port named, with all a single write does.
int writeFleet(const Invocation& call)
{
    std::string problem;
    if (call.has(DryRunOption.name) || call.has(QuickOption.name))
        problem = "--dry-run and --quick are for one radio; a fleet write reads each radio first";
    else if (call.has(TraceOption.name))
        problem = "--trace follows one radio; leave it out when writing several";
    else if (call.values(PortOption.name).empty())
        problem = "a fleet write goes only to the ports you name: give --port N (once per radio, or once with "
                  "--repeat)";
    else if (call.has(RepeatOption.name) && call.values(PortOption.name).size() > 1)
        problem = "--repeat takes one --port: the radios come one after another on that cable";
    if (!problem.empty()) {
        call.err << "tarn-cli write: " << problem << "\n";
        return ExitError;
    }
    CliLanguage language;
    FleetWrite request;
    bool onlyPort = false;
    if (!prepareToSend(call, "write", language, request.image, &onlyPort))
        return ExitError;
    for (const std::string& value : call.values(PortOption.name)) {
        std::string error;
        const std::optional<int> n = portValue(value, &error);
        if (!n) {
            call.err << "tarn-cli write: " << error << "\n";
            return ExitError;
        }
        if (std::find(request.ports.begin(), request.ports.end(), *n) != request.ports.end()) {
            call.err << "tarn-cli write: port " << *n << " is given twice; one radio answers on a port\n";
            return ExitError;
        }
        request.ports.push_back(*n);
    }
    request.path = call.arguments[0];
    request.restoreCommand = [&call](const RestoreOffer& offer) { return restoreCommand(call, offer); };
    return runFleetWrite(call, language, request);
}

int runWrite(const Invocation& call)
{
    if (isFleetWrite(call))
        return writeFleet(call);
    CliLanguage language;
    RadioImage image;
    bool onlyPort = false;
    if (call.has(QuickOption.name) && call.has(DryRunOption.name)) {
        call.err << "tarn-cli write: --dry-run reads the radio first; it cannot be --quick\n";
        return ExitError;
    }
    if (!prepareToSend(call, "write", language, image, &onlyPort))
        return ExitError;
    currentChannelFixUp(image);
    const TransferRun run = runTransfer(call, TransferJob::Write, image, language, onlyPort);
    const LanguageText text = language.function();

    if (call.has(DryRunOption.name)) {
        if (run.result == TransferResult::TransferCancelled || run.plan.nothingToChange()) {
            call.out << (run.plan.nothingToChange() ? WriteSummary(run.plan, text) : language.text(344)) << "\n"
                     << TransferPortText(run.result, run.ports, text) << std::endl;
            return run.plan.nothingToChange() ? ExitOk : ExitFailed;
        }
        // The radio could not be read: nothing to compare with.
        TransferRun failed = run;
        if (failed.result != TransferResult::NoRadio)
            failed.result = TransferResult::ReadFailed;
        reportResult(call, language, failed);
        return exitCodeFor(failed.result);
    }

    if (run.plan.nothingToChange()) {
        call.out << WriteSummary(run.plan, text) << "\n" << TransferPortText(run.result, run.ports, text) << std::endl;
        return ExitOk;
    }
    reportResult(call, language, run);
    int exitCode = exitCodeFor(run.result);
    if (run.result == TransferResult::WriteSucceeded && run.plan.readOk)
        call.out << WriteSummary(run.plan, text) << "\n";
    if (run.result == TransferResult::WriteSucceeded && run.verify.ran)
        exitCode = reportVerify(call, language, run.verify);
    reportRestore(call, language, run.restore);
    return exitCode;
}

int runVerify(const Invocation& call)
{
    CliLanguage language;
    RadioImage image;
    bool onlyPort = false;
    if (!prepareToSend(call, "verify", language, image, &onlyPort))
        return ExitError;

    const TransferRun run = runTransfer(call, TransferJob::Verify, image, language, onlyPort);
    if (run.result == TransferResult::NoRadio) {
        reportResult(call, language, run);
        return exitCodeFor(run.result);
    }
    const int exitCode = reportVerify(call, language, run.verify);
    call.out << TransferPortText(run.result, run.ports, language.function()) << std::endl;
    return exitCode;
}

int runBackups(const Invocation& call)
{
    CliLanguage language;
    if (!loadLanguage(call, "backups", language))
        return ExitError;
    const BackupStore store;
    const std::vector<BackupEntry> entries = store.entries();
    if (entries.empty()) {
        call.out << language.text(172) << ": " << store.folder().toStdString() << "\n";
        return ExitOk;
    }
    struct Row {
        std::string when, what, port, channels, names, path;
    };
    std::vector<Row> rows{{language.text(357), language.text(358), language.text(359), language.text(360),
                           language.text(361), language.text(364)}};
    for (const BackupEntry& entry : entries) {
        std::string names;
        for (const std::string& name : entry.firstNames)
            names += (names.empty() ? "" : " ") + name;
        rows.push_back({entry.made.toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")).toStdString(),
                        BackupWhatText(entry.what, language.function()),
                        entry.port != 0 ? PortName(entry.port) : std::string("-"),
                        entry.readable ? std::to_string(entry.channelsInUse) : std::string("-"),
                        names.empty() ? std::string("-") : names, entry.path.toStdString()});
    }
    int widths[5] = {};
    for (const Row& row : rows) {
        const std::string* cells[5] = {&row.when, &row.what, &row.port, &row.channels, &row.names};
        for (int c = 0; c < 5; ++c)
            widths[c] = std::max(widths[c], displayWidth(*cells[c]) + 2);
    }
    for (const Row& row : rows)
        call.out << padded(row.when, widths[0]) << padded(row.what, widths[1]) << padded(row.port, widths[2])
                 << padded(row.channels, widths[3]) << padded(row.names, widths[4]) << row.path << "\n";
    return ExitOk;
}

int runPorts(const Invocation& call)
{
    std::string error;
    if (!applyPortMap(call, &error)) {
        call.err << "tarn-cli ports: " << error << "\n";
        return ExitError;
    }
    CommPort port;
    for (const PortEntry& entry : PortMap::listPorts()) {
        const std::string device = entry.device.toStdString();
        std::string state = "no device";
        if (!device.empty()) {
            const PortState diagnosis = diagnosePort(port, entry.number);
            state = diagnosis.usable ? diagnosis.text : "cannot be opened: " + diagnosis.text;
        }
        call.out << std::setw(2) << entry.number << "  " << std::left << std::setw(22)
                 << (device.empty() ? std::string("-") : device) << std::right << "  " << state << "\n";
    }
    return ExitOk;
}

}  // namespace

std::vector<Command> radioCommands()
{
    return {
        {"read", "FILE",
         "Read the radio's memory and save it as a configuration file (\".tw\" is appended unless the "
         "name contains \".tw\"). Nothing is written when the read fails.",
         1, 1, {PortOption, PortsOption, LangOption, TraceOption, NoBackupOption}, runRead},
        {"write", "FILE",
         "Write a configuration file to the radio: read the radio first and keep that as the "
         "before-write backup, list what will change, check every frequency against the band limits "
         "the radio reports, send only the 16-byte blocks that change and read them back. With --port "
         "given more than once, or --repeat, to a fleet of radios.",
         1, 1, {PortOption, PortsOption, LangOption, TraceOption, NoBackupOption, DryRunOption, QuickOption,
                VerifyOption, RepeatOption, PerRadioOption, LogOption}, runWrite},
        {"verify", "FILE",
         "Read the radio back and compare it with a configuration file over every byte a write sends; "
         "the differences are listed by channel and setting. Exit 0 when equal, 6 when they differ.",
         1, 1, {PortOption, PortsOption, LangOption, TraceOption}, runVerify},
        {"backups", "",
         "List the backups kept after reads and before writes, newest first: when, what happened, "
         "the port, the channels in use and their first names, the file.",
         0, 0, {LangOption}, runBackups},
        {"ports", "",
         "List port numbers 1-20 with their devices and whether each can be opened now.",
         0, 0, {PortsOption}, runPorts},
    };
}

}  // namespace tarn::cli
