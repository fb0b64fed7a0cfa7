// tarn-cli write to a fleet: runs the fleet run (fleet/FleetRun.h) with a line per port
// while it runs (redrawn in place on a terminal, a plain line per change otherwise), then a
// summary table, what went wrong with each radio, and the count.
#include "cli/FleetWrite.h"

#include "cli/CliFiles.h"
#include "fleet/FleetLog.h"
#include "fleet/FleetRun.h"
#include "fleet/PerRadioValues.h"
#include "link/Backups.h"
#include "link/PortMap.h"
#include "link/ResultText.h"
#include "radio/SafeFile.h"
#include "link/PortRange.h"

#include <QFileInfo>

#include <algorithm>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <map>

#include <sys/ioctl.h>
#include <unistd.h>

namespace tarn::cli {

namespace {

FleetRun* interruptedRun = nullptr;

extern "C" void stopFleetOnInterrupt(int)
{
    // The first Ctrl+C ends every transfer the way a single write stops and the loop with
    // them; the summary follows. A second one ends the program at once.
    if (interruptedRun)
        interruptedRun->requestStop();
    std::signal(SIGINT, SIG_DFL);
}

int radioExitCode(const RadioState& radio)
{
    switch (radio.result) {
    case RadioResult::Written:
    case RadioResult::Unchanged:
        if (radio.verify == RadioVerify::Differs)
            return ExitDiffers;
        if (radio.verify == RadioVerify::ReadBackFailed)
            return ExitReadFailed;
        return radio.logProblem.empty() ? ExitOk : ExitError;
    case RadioResult::NoRadio:
        return ExitNoRadio;
    case RadioResult::ValuesRefused:
        return ExitError;
    default:
        return ExitWriteFailed;
    }
}

std::string trimmed(std::string text)
{
    while (!text.empty() && text.back() == ' ')
        text.pop_back();
    return text;
}

std::string portName(const RadioState& radio)
{
    return PortDisplayName(radio.port, radio.device);
}

// What the radio is doing, or what became of it.
std::string stateText(const RadioState& radio, const CliLanguage& language)
{
    const LanguageText text = language.function();
    switch (radio.phase) {
    case RadioPhase::Waiting:
        return {};
    case RadioPhase::Connecting:
        return language.text(337) + PortName(radio.port);
    case RadioPhase::Reading:
        return trimmed(language.text(122));
    case RadioPhase::Writing:
        return trimmed(language.text(123));
    case RadioPhase::Done: {
        const std::string verify = RadioVerifyText(radio.verify, text);
        return RadioResultText(radio.result, text) + (verify.empty() ? "" : ", " + verify);
    }
    }
    return {};
}

std::string progressLine(const RadioState& radio, const CliLanguage& language, int nameWidth)
{
    const int width = 20;
    const int filled = std::clamp(radio.percent, 0, 100) * width / 100;
    char percent[8];
    std::snprintf(percent, sizeof percent, "%3d%%", std::clamp(radio.percent, 0, 100));
    return padded(portName(radio), nameWidth) + "[" + std::string(filled, '#') + std::string(width - filled, ' ') + "] "
        + percent + "  " + stateText(radio, language);
}

// The lines on standard error while the run goes on. On a terminal they are redrawn in place
// (each cut to the terminal's width, so the cursor knows where they begin); otherwise a line
// is printed when its text (not its percentage) changes.
class ProgressLines {
public:
    explicit ProgressLines(bool live) : m_live(live) {}

    // `lines` as key and text; `plain` the text a plain line shows for the key ("" for none).
    void show(const std::vector<std::pair<std::string, std::string>>& lines,
              const std::vector<std::string>& plain)
    {
        if (m_live) {
            std::vector<std::string> texts;
            for (const auto& line : lines)
                texts.push_back(fitted(line.second));
            if (texts == m_shown)
                return;
            if (texts.size() != m_shown.size())
                clear();
            else if (!m_shown.empty())
                std::fprintf(stderr, "\033[%zuA", m_shown.size());
            for (const std::string& text : texts)
                std::fprintf(stderr, "\r\033[K%s\n", text.c_str());
            m_shown = texts;
            std::fflush(stderr);
            return;
        }
        for (std::size_t i = 0; i < lines.size(); ++i) {
            std::string& last = m_printed[lines[i].first];
            if (!plain[i].empty() && plain[i] != last) {
                std::fprintf(stderr, "%s\n", plain[i].c_str());
                last = plain[i];
            }
        }
        std::fflush(stderr);
    }

    // Takes the drawn lines away, so other output goes where they were.
    void clear()
    {
        if (!m_live || m_shown.empty())
            return;
        std::fprintf(stderr, "\033[%zuA", m_shown.size());
        for (std::size_t i = 0; i < m_shown.size(); ++i)
            std::fputs("\r\033[K\n", stderr);
        std::fprintf(stderr, "\033[%zuA", m_shown.size());
        std::fflush(stderr);
        m_shown.clear();
    }

private:
    static int terminalWidth()
    {
        winsize size{};
        if (::ioctl(fileno(stderr), TIOCGWINSZ, &size) == 0 && size.ws_col > 0)
            return size.ws_col;
        return 80;
    }

    // A line no wider than the terminal: one that wrapped would move the lines below it.
    static std::string fitted(const std::string& line)
    {
        const int room = terminalWidth() - 1;
        if (displayWidth(line) <= room)
            return line;
        const QString text = QString::fromStdString(line);
        QString cut;
        for (const QChar c : text) {
            cut += c;
            if (displayWidth(cut.toStdString()) > room) {
                cut.chop(1);
                break;
            }
        }
        return cut.toStdString();
    }

    bool m_live;
    std::vector<std::string> m_shown;
    std::map<std::string, std::string> m_printed;
};

void ringBell()
{
    FILE* terminal = isatty(fileno(stderr)) ? stderr : isatty(fileno(stdout)) ? stdout : nullptr;
    if (terminal) {
        std::fputs("\a", terminal);
        std::fflush(terminal);
    }
}

// The radio's line once it is done, as the loop prints it: "2: COM1 (/dev/ttyUSB0): Written, Holds ...".
std::string finishedLine(const RadioState& radio, const CliLanguage& language)
{
    return std::to_string(radio.number) + ": " + portName(radio) + ": " + stateText(radio, language);
}

void printSummary(const Invocation& call, const CliLanguage& language, const FleetWrite& request,
                  const std::vector<RadioState>& radios, bool loop)
{
    const LanguageText text = language.function();
    std::vector<std::vector<std::string>> rows;
    rows.push_back({language.text(359), language.text(fleetstrings::Device), language.text(fleetstrings::Result),
                    language.text(fleetstrings::Verify), language.text(fleetstrings::Backup)});
    if (loop)
        rows.back().insert(rows.back().begin(), "#");
    for (const RadioState& radio : radios) {
        const std::string verify = RadioVerifyText(radio.verify, text);
        rows.push_back({PortName(radio.port), radio.device.empty() ? "-" : radio.device,
                        RadioResultText(radio.result, text), verify.empty() ? "-" : verify,
                        radio.backup.empty() ? "-" : radio.backup});
        if (loop)
            rows.back().insert(rows.back().begin(), std::to_string(radio.number));
    }
    if (radios.empty())
        rows.clear();
    std::vector<int> widths(rows.empty() ? 0 : rows[0].size(), 0);
    for (const auto& row : rows)
        for (std::size_t c = 0; c + 1 < row.size(); ++c)
            widths[c] = std::max(widths[c], displayWidth(row[c]) + 2);
    for (const auto& row : rows) {
        std::string line;
        for (std::size_t c = 0; c + 1 < row.size(); ++c)
            line += padded(row[c], widths[c]);
        call.out << line << row.back() << "\n";
    }

    // Why each radio that failed did, and how to put back what a radio held.
    for (const RadioState& radio : radios) {
        const std::string who = (loop ? std::to_string(radio.number) + ": " : std::string()) + portName(radio) + ": ";
        for (const std::string& line : radio.detail)
            call.out << who << line << "\n";
        if (radio.restore.offered && radio.restore.backup.kept)
            call.out << who << language.text(348) << request.restoreCommand(radio.restore) << "\n";
        if (!radio.logProblem.empty())
            call.out << who << "not logged: " << radio.logProblem << "\n";
    }
    const auto written = std::count_if(radios.begin(), radios.end(), [](const RadioState& r) { return r.succeeded(); });
    call.out << language.text(fleetstrings::RadiosWritten) << written << "/" << radios.size() << std::endl;
}

}  // namespace

int runFleetWrite(const Invocation& call, const CliLanguage& language, const FleetWrite& request)
{
    const bool loop = call.has(RepeatOption.name);
    FleetSettings settings;
    settings.configuration = request.image;
    settings.configurationPath = QFileInfo(QString::fromStdString(request.path)).absoluteFilePath().toStdString();
    // The hash is of the file as it is on disk, so `sha256sum` gives the same.
    const ReadResult file = readInputFile(request.path);
    if (!file.ok) {
        call.err << "tarn-cli write: cannot read " << request.path << ": " << file.reason << "\n";
        return ExitError;
    }
    settings.configurationSha256 = Sha256Hex(file.bytes);
    if (call.has(PerRadioOption.name)) {
        const std::string valuesPath = call.value(PerRadioOption.name);
        std::string text;
        if (!readInput(call, "write", valuesPath, text))
            return ExitError;
        settings.useValues = true;
        settings.values = ReadPerRadioValues(text);
        settings.valuesName = valuesPath;
    }
    if (!call.has("--no-backup"))
        settings.backupFolder = BackupStore::defaultFolder();
    settings.logPath = call.has(LogOption.name) ? QString::fromStdString(call.value(LogOption.name)) : DefaultFleetLogPath();
    settings.text = language.function();

    FleetRun run(std::move(settings));
    std::string error;
    const bool started = loop ? run.startLoop(request.ports.front(), &error) : run.startPorts(request.ports, &error);
    if (!started) {
        call.err << "tarn-cli write: " << error << "; nothing was written\n";
        return ExitError;
    }
    interruptedRun = &run;
    std::signal(SIGINT, stopFleetOnInterrupt);

    const std::string loopDevice = loop ? PortMap::deviceForPort(run.loopPort()).toStdString() : std::string();
    ProgressLines progress(isatty(fileno(stderr)) != 0);
    std::size_t announced = 0;
    // Ten redraws a second at most, however often the radios move on.
    auto nextDraw = std::chrono::steady_clock::now();
    for (;;) {
        const bool done = run.waitForChange(100);
        if (!done && std::chrono::steady_clock::now() < nextDraw)
            continue;
        nextDraw = std::chrono::steady_clock::now() + std::chrono::milliseconds(100);
        const std::vector<RadioState> radios = run.radios();
        int nameWidth = 0;
        for (const RadioState& radio : radios)
            nameWidth = std::max(nameWidth, displayWidth(portName(radio)) + 2);

        std::vector<std::pair<std::string, std::string>> lines;
        std::vector<std::string> plain;
        if (loop) {
            // Each radio's end is said once, with the bell, as it happens.
            for (; announced < radios.size() && radios[announced].finished(); ++announced) {
                progress.clear();
                call.out << finishedLine(radios[announced], language) << std::endl;
                ringBell();
            }
            const LoopState state = run.loopState();
            std::string status;
            if (state == LoopState::WaitingForRadio)
                status = language.text(fleetstrings::WaitingForRadio) + PortDisplayName(run.loopPort(), loopDevice);
            else if (state == LoopState::WaitingForRemoval)
                status = language.text(fleetstrings::TakeRadioOff);
            if (!status.empty()) {
                lines.push_back({"loop", status});
                plain.push_back(status);
            }
            if (state == LoopState::Writing && !radios.empty() && !radios.back().finished()) {
                const RadioState& radio = radios.back();
                lines.push_back({"loop", std::to_string(radio.number) + ": " + progressLine(radio, language, nameWidth)});
                plain.push_back(std::to_string(radio.number) + ": " + portName(radio) + ": " + stateText(radio, language));
            }
        } else {
            for (const RadioState& radio : radios) {
                const std::string state = stateText(radio, language);
                lines.push_back({PortName(radio.port), progressLine(radio, language, nameWidth)});
                plain.push_back(state.empty() ? std::string() : portName(radio) + ": " + state);
            }
        }
        progress.show(lines, plain);
        if (done)
            break;
    }
    std::signal(SIGINT, SIG_DFL);
    interruptedRun = nullptr;
    progress.clear();

    const std::vector<RadioState> radios = run.radios();
    printSummary(call, language, request, radios, loop);
    int exitCode = ExitOk;
    std::string failed;
    for (const RadioState& radio : radios) {
        const int code = radioExitCode(radio);
        exitCode = std::max(exitCode, code);
        if (code != ExitOk)
            failed += (failed.empty() ? "" : ", ") + (loop ? "radio " + std::to_string(radio.number) + " on " : "")
                + PortName(radio.port) + " (exit " + std::to_string(code) + ")";
    }
    if (!failed.empty())
        call.err << "tarn-cli write: not written as asked: " << failed << "\n";
    call.err << "tarn-cli write: fleet log " << run.logPath().toStdString() << "\n";
    return exitCode;
}

}  // namespace tarn::cli
