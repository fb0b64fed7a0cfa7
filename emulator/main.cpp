// tarn-radio-emulator: a virtual radio on a pseudo-terminal, for trying Tarn without a radio
// and for testing it against misbehaving ones.
#include "emulator/PtyRadio.h"
#include "radio/ConfigFile.h"

#include "TarnVersion.h"

#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <iostream>
#include <string>
#include <unistd.h>
#include <vector>

using namespace tarn;

namespace {

const char* Usage =
    "Usage: tarn-radio-emulator [options]\n"
    "Serves a virtual radio on a pseudo-terminal and prints the terminal's device path.\n"
    "Runs until interrupted (Ctrl+C).\n"
    "\n"
    "  --load FILE          start with the memory of a .tw configuration file\n"
    "  --save FILE          write the radio's memory to a .tw file when it stops\n"
    "  --log FILE           write the frames received, one hex line each, when it stops\n"
    "  --link PATH          also make PATH a symbolic link to the terminal\n"
    "  --fast               answer at once instead of at the pace of 9600 baud\n"
    "  --version            print the version and stop\n"
    "Faults:\n"
    "  --silent             never answer\n"
    "  --entry-reply BYTE   answer the entry sequence with BYTE instead of 0x06\n"
    "  --fail-identify      answer identification as another model\n"
    "  --short-read ADDR[:N[:COUNT[:BYTES]]]\n"
    "                       send only BYTES (30) bytes of the reply to the N-th (1st)\n"
    "                       read of ADDR, COUNT (1) times in a row\n"
    "  --wrong-echo ADDR    echo a wrong address in replies to reads of ADDR\n"
    "  --nack-writes N[:BYTE]\n"
    "                       answer the first N chunk writes with BYTE (0x15) and drop them\n"
    "  --hang-up-after N    close the line after answering N frames\n"
    "  --quiet-after N      answer nothing after N frames, keeping the line open\n"
    "Numbers may be decimal or hexadecimal (0x0E20).\n";

bool parseNumber(const std::string& text, long& value)
{
    if (text.empty())
        return false;
    char* end = nullptr;
    value = std::strtol(text.c_str(), &end, 0);
    return end && *end == '\0';
}

// "a:b:c" -> numbers; fewer parts leave the defaults alone.
bool parseParts(const std::string& text, std::vector<long*> targets)
{
    std::size_t start = 0;
    for (long* target : targets) {
        const std::size_t colon = text.find(':', start);
        const std::string part = text.substr(start, colon == std::string::npos ? std::string::npos : colon - start);
        if (!parseNumber(part, *target))
            return false;
        if (colon == std::string::npos)
            return true;
        start = colon + 1;
    }
    return false;  // more parts than expected
}

int fail(const std::string& message)
{
    std::cerr << "tarn-radio-emulator: " << message << "\n";
    return 2;
}

}  // namespace

int main(int argc, char** argv)
{
    std::string loadPath, savePath, logPath, linkPath;
    bool fast = false;
    RadioFaults faults;

    std::vector<std::string> args(argv + 1, argv + argc);
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& option = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size())
                return false;
            out = args[++i];
            return true;
        };
        std::string text;
        long a = 0, b = 0, c = 0, d = 0;
        if (option == "--help" || option == "-h") {
            std::cout << Usage;
            return 0;
        } else if (option == "--version") {
            std::cout << "tarn-radio-emulator " TARN_VERSION "\n";
            return 0;
        } else if (option == "--load") {
            if (!value(loadPath))
                return fail("--load needs a file");
        } else if (option == "--save") {
            if (!value(savePath))
                return fail("--save needs a file");
        } else if (option == "--log") {
            if (!value(logPath))
                return fail("--log needs a file");
        } else if (option == "--link") {
            if (!value(linkPath))
                return fail("--link needs a path");
        } else if (option == "--fast") {
            fast = true;
        } else if (option == "--silent") {
            faults.silent = true;
        } else if (option == "--fail-identify") {
            faults.failIdentify = true;
        } else if (option == "--entry-reply") {
            if (!value(text) || !parseNumber(text, a) || a < 0 || a > 255)
                return fail("--entry-reply needs a byte value");
            faults.entryReply = static_cast<int>(a);
        } else if (option == "--short-read") {
            a = -1, b = 1, c = 1, d = 30;
            if (!value(text) || !parseParts(text, {&a, &b, &c, &d}) || a < 0 || a > 0xFFFF || b < 1 || c < 1
                || d < 0 || d > 67)
                return fail("--short-read needs ADDR[:N[:COUNT[:BYTES]]]");
            faults.shortReadAddress = static_cast<int>(a);
            faults.shortReadFrom = static_cast<int>(b);
            faults.shortReadCount = static_cast<int>(c);
            faults.shortReadBytes = static_cast<int>(d);
        } else if (option == "--wrong-echo") {
            if (!value(text) || !parseNumber(text, a) || a < 0 || a > 0xFFFF)
                return fail("--wrong-echo needs an address");
            faults.wrongEchoAddress = static_cast<int>(a);
        } else if (option == "--nack-writes") {
            a = 0, b = 0x15;
            if (!value(text) || !parseParts(text, {&a, &b}) || a < 0 || b < 0 || b > 255)
                return fail("--nack-writes needs N[:BYTE]");
            faults.nackWrites = static_cast<int>(a);
            faults.nackByte = static_cast<std::uint8_t>(b);
        } else if (option == "--hang-up-after") {
            if (!value(text) || !parseNumber(text, a) || a < 1)
                return fail("--hang-up-after needs a number of frames");
            faults.hangUpAfterFrames = static_cast<int>(a);
        } else if (option == "--quiet-after") {
            if (!value(text) || !parseNumber(text, a) || a < 1)
                return fail("--quiet-after needs a number of frames");
            faults.quietAfterFrames = static_cast<int>(a);
        } else {
            std::cerr << Usage;
            return fail("unknown option " + option);
        }
    }

    VirtualRadio radio;
    if (!loadPath.empty()) {
        RadioImage image;
        const FileResult result = loadConfiguration(loadPath, image);
        if (result.outcome == FileOutcome::CannotOpen)
            return fail("cannot open " + loadPath + ": " + result.reason);
        if (result.outcome == FileOutcome::NotTarnFile)
            return fail(loadPath + " is not a Tarn configuration file");
        radio.memory() = VirtualRadio::memoryFromImage(image);
    }
    radio.setFaults(faults);

    // The serving thread must not take the signals; this thread waits for them.
    sigset_t signals;
    sigemptyset(&signals);
    sigaddset(&signals, SIGINT);
    sigaddset(&signals, SIGTERM);
    sigaddset(&signals, SIGHUP);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);

    PtyRadio server(radio);
    server.setFast(fast);
    std::string error;
    if (!server.start(&error))
        return fail("no pseudo-terminal: " + error);
    if (!linkPath.empty()) {
        ::unlink(linkPath.c_str());
        if (::symlink(server.slavePath().c_str(), linkPath.c_str()) != 0)
            std::cerr << "tarn-radio-emulator: cannot link " << linkPath << ": " << std::strerror(errno) << "\n";
    }
    std::cout << server.slavePath() << std::endl;
    std::cerr << "Virtual radio ready. Point Tarn at it with TARN_PORTS=1=" << server.slavePath()
              << "\nPress Ctrl+C to stop.\n";

    while (!server.hungUp()) {
        const timespec wait{0, 200'000'000};
        if (sigtimedwait(&signals, nullptr, &wait) > 0)
            break;
    }
    if (server.hungUp())
        std::cerr << "The radio hung up.\n";
    server.stop();
    if (!linkPath.empty())
        ::unlink(linkPath.c_str());

    int status = 0;
    const VirtualRadio finalState = server.radio();
    if (!logPath.empty()) {
        std::ofstream log(logPath, std::ios::binary | std::ios::trunc);
        log << VirtualRadio::framesAsHex(finalState.frames());
        if (!log.good()) {
            std::cerr << "tarn-radio-emulator: cannot write " << logPath << "\n";
            status = 1;
        }
    }
    if (!savePath.empty()) {
        const FileResult result = saveConfiguration(savePath, VirtualRadio::imageFromMemory(finalState.memory()));
        if (result.outcome != FileOutcome::Saved) {
            std::cerr << "tarn-radio-emulator: cannot save " << savePath << ": " << result.reason << "\n";
            status = 1;
        }
    }
    return status;
}
