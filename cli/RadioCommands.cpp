// The radio commands of tarn-cli: "read" and "write" run the same transfer job as the
// window, on this thread, and report with the window's texts; "ports" shows which port
// numbers lead to a device that can be opened now.
#include "cli/CliLanguage.h"
#include "cli/Commands.h"

#include "link/Backups.h"
#include "link/CommPort.h"
#include "link/PortDiagnosis.h"
#include "link/PortMap.h"
#include "link/TransferJob.h"
#include "link/TransferListener.h"
#include "link/VerifyReport.h"
#include "link/WriteChecks.h"
#include "radio/ConfigFile.h"
#include "radio/RadioImage.h"

#include <QString>
#include <QStringList>

#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstring>
#include <iomanip>
#include <sstream>

#ifdef _WIN32
#include <io.h>
#define isatty _isatty
#define fileno _fileno
#else
#include <cerrno>
#include <unistd.h>
#endif

namespace tarn::cli {

namespace {

const CommandOption PortOption{"--port", "N",
    "Port number (1-20) the scan for the radio starts with; the other ports are tried after it."};
const CommandOption PortsOption{"--ports", "MAP",
    "Port numbers to devices, \"N=DEVICE[,N=DEVICE...]\", as TARN_PORTS (which it replaces); "
    "an empty MAP leaves every port without a device."};
const CommandOption TraceOption{"--trace", "",
    "Show every byte sent (>) and received (<) on standard error, in hex with the time in seconds."};

const CommandOption NoBackupOption{"--no-backup", "",
    "Do not keep the image in the backups folder (after a read, before a write)."};

const CommandOption VerifyOption{"--verify", "",
    "After a successful write, read the radio back and compare (exit 6 when it differs)."};

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

bool portNumber(const Invocation& call, int* port, std::string* error)
{
    if (!call.has(PortOption.name))
        return true;
    bool ok = false;
    const int n = QString::fromStdString(call.value(PortOption.name)).toInt(&ok);
    if (!ok || n < TransferJob::FirstPort || n > TransferJob::LastPort) {
        *error = "--port needs a port number from 1 to 20, not '" + call.value(PortOption.name) + "'";
        return false;
    }
    *port = n;
    return true;
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

// Answers the job as the window does, but on the worker's own (this) thread.
class CliListener : public TransferListener {
public:
    CliListener(RadioImage& image, const CliLanguage& language, std::ostream& out, std::string label,
                bool showProgress)
        : m_image(image), m_language(language), m_out(out), m_label(std::move(label)),
          m_showProgress(showProgress)
    {
    }

    int result() const { return m_result; }

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

    int imageNotify(int code) override
    {
        if (code != CheckBeforeWrite)
            return 1;
        const BandLimitVerdict verdict = bandLimitCheck(m_image, m_language.function());
        if (!verdict.pass) {
            clearProgress();
            m_out << verdict.message << std::endl;
        }
        return verdict.answer();
    }

    void transferResult(int code) override { m_result = code; }

private:
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
    std::string m_label;
    bool m_showProgress;
    bool m_progressOnScreen = false;
    int m_result = -1;
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

// Runs a read or a write of `image` and returns the job's result code.
int runTransfer(const Invocation& call, TransferJob::Operation operation, RadioImage& image,
                const CliLanguage& language, VerifyOutcome* verifyOutcome = nullptr)
{
    const bool trace = call.has(TraceOption.name);
    // Trace lines and a redrawn progress bar would tear each other apart.
    const bool showProgress = !trace && isatty(fileno(stderr));
    std::string label = language.text(operation == TransferJob::Read ? 122 : 123);
    if (!label.empty() && label.back() != ' ')
        label += ' ';
    CliListener listener(image, language, call.out, label, showProgress);

    TransferJob job;
    job.prepare(&listener, &image);
    const BackupStore backups;
    if (!call.has(NoBackupOption.name))
        job.setBackups(&backups);
    job.setVerifyAfterWrite(operation == TransferJob::Write && call.has(VerifyOption.name));
    if (trace) {
        const auto start = std::chrono::steady_clock::now();
        job.port()->setTrace([start](bool sent, const std::uint8_t* bytes, int n) {
            traceBytes(start, sent, bytes, n);
        });
    }
    if (!job.start(operation))
        return NoRadio;
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
    if (verifyOutcome)
        *verifyOutcome = job.verifyOutcome();
    return listener.result();
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

int exitCodeFor(int result)
{
    switch (result) {
    case ReadSucceeded:
    case WriteSucceeded:
        return ExitOk;
    case ReadFailed:
        return ExitReadFailed;
    case WriteFailed:
        return ExitWriteFailed;
    case VerifyEqual:
        return ExitOk;
    case VerifyDiffers:
        return ExitDiffers;
    case VerifyReadFailed:
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

int runRead(const Invocation& call)
{
    CliLanguage language;
    int port = 1;
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
    image.setPortNumber(port);
    const int result = runTransfer(call, TransferJob::Read, image, language);
    call.out << language.resultText(result) << std::endl;
    if (result == NoRadio)
        reportRefusedPorts(call.err);
    if (result != ReadSucceeded)
        return exitCodeFor(result);

    const FileResult saved = saveConfiguration(path, image);
    if (saved.outcome != FileOutcome::Saved) {
        call.err << "tarn-cli read: cannot write " << path << ": " << saved.reason << "\n";
        return ExitError;
    }
    call.out << "Saved to " << path << " (the radio answered on port " << image.portNumber() << ")\n";
    return ExitOk;
}

// The options of a write or a verify and the configuration it sends (with --port applied);
// false with the message shown.
bool prepareToSend(const Invocation& call, std::string_view command, CliLanguage& language, RadioImage& image)
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

int runWrite(const Invocation& call)
{
    CliLanguage language;
    RadioImage image;
    if (!prepareToSend(call, "write", language, image))
        return ExitError;
    currentChannelFixUp(image);
    VerifyOutcome outcome;
    const int result = runTransfer(call, TransferJob::Write, image, language, &outcome);
    call.out << language.resultText(result) << std::endl;
    if (result == NoRadio)
        reportRefusedPorts(call.err);
    if (result != WriteSucceeded || !outcome.ran)
        return exitCodeFor(result);
    return reportVerify(call, language, outcome);
}

int runVerify(const Invocation& call)
{
    CliLanguage language;
    RadioImage image;
    if (!prepareToSend(call, "verify", language, image))
        return ExitError;

    VerifyOutcome outcome;
    const int result = runTransfer(call, TransferJob::Verify, image, language, &outcome);
    if (result == NoRadio) {
        call.out << language.resultText(result) << std::endl;
        reportRefusedPorts(call.err);
        return exitCodeFor(result);
    }
    return reportVerify(call, language, outcome);
}

int runBackups(const Invocation& call)
{
    const BackupStore store;
    const QStringList paths = store.list();
    if (paths.isEmpty()) {
        call.out << "No backups in " << store.folder().toStdString() << "\n";
        return ExitOk;
    }
    for (const QString& path : paths)
        call.out << path.toStdString() << "\n";
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
         "Write a configuration file to the radio, after checking every frequency against the band "
         "limits the radio reports.",
         1, 1, {PortOption, PortsOption, LangOption, TraceOption, NoBackupOption, VerifyOption}, runWrite},
        {"verify", "FILE",
         "Read the radio back and compare it with a configuration file over every byte a write sends; "
         "the differences are listed by channel and setting. Exit 0 when equal, 6 when they differ.",
         1, 1, {PortOption, PortsOption, LangOption, TraceOption}, runVerify},
        {"backups", "",
         "List the backups kept after reads and before writes, newest first.",
         0, 0, {}, runBackups},
        {"ports", "",
         "List port numbers 1-20 with their devices and whether each can be opened now.",
         0, 0, {PortsOption}, runPorts},
    };
}

}  // namespace tarn::cli
