// Times a complete read and a complete write against the virtual radio on a pseudo-terminal,
// once with the radio answering at 9600 baud and once without pacing, and compares the
// paced time with the time the bytes need on a 9600-baud line.
#include "emulator/PtyRadio.h"
#include "link/PortMap.h"
#include "link/TransferJob.h"
#include "radio/Bytes.h"
#include "radio/RadioImage.h"

#include <QCoreApplication>

#include <chrono>
#include <cstdio>

using namespace tarn;

namespace {

constexpr double BitsPerByte = 10.0;  // 8N1
constexpr double Baud = 9600.0;
constexpr double EntryWaitSeconds = 0.2;

class SilentListener : public TransferListener {
public:
    int result = -1;
    void transferProgress(int) override {}
    int imageNotify(int) override { return 1; }
    void transferResult(int code) override { result = code; }
};

// Bytes the radio sends for each frame it receives.
std::size_t replyBytes(const Frame& frame)
{
    if (frame.size() == 1 && frame[0] == 0x02)
        return 8;  // identification reply
    if (frame.size() == 4 && frame[0] == 0x52)
        return 68;  // read reply
    return 1;       // acknowledge: entry sequence, write frame, acknowledge
}

struct Figures {
    double seconds = 0;
    std::size_t hostBytes = 0;
    std::size_t radioBytes = 0;
    int result = -1;
};

Figures measure(TransferJob::Operation operation, bool paced)
{
    PtyRadio radio;
    radio.setFast(!paced);
    std::string error;
    if (!radio.start(&error)) {
        std::fprintf(stderr, "no pseudo-terminal: %s\n", error.c_str());
        std::exit(1);
    }
    PortMap::setOverride(QString("1=%1").arg(QString::fromStdString(radio.slavePath())));

    RadioImage image = VirtualRadio::imageFromMemory(radio.memory());
    image.setPortNumber(1);
    SilentListener listener;
    TransferJob job;
    job.prepare(&listener, &image);
    job.start(operation);

    const auto start = std::chrono::steady_clock::now();
    job.run();
    Figures f;
    f.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    f.result = listener.result;
    for (const Frame& frame : radio.frames()) {
        f.hostBytes += frame.size();
        f.radioBytes += replyBytes(frame);
    }
    radio.stop();
    PortMap::setOverride(QString());
    return f;
}

void report(const char* name, TransferJob::Operation operation)
{
    const Figures paced = measure(operation, true);
    const Figures fast = measure(operation, false);
    const std::size_t bytes = paced.hostBytes + paced.radioBytes;
    const double wire = bytes * BitsPerByte / Baud + EntryWaitSeconds;
    const double radioWire = paced.radioBytes * BitsPerByte / Baud + EntryWaitSeconds;
    // The virtual radio paces only its own replies; the host's bytes cross the terminal at once.
    std::printf("%-6s paced %6.2f s  unpaced %5.2f s (program overhead %.3f s)  bytes %5zu (host %zu, radio %zu)\n"
                "       wire time %5.2f s  paced/wire %.3f  paced/radio-side wire (%.2f s) %.3f  results %d/%d\n",
                name, paced.seconds, fast.seconds, fast.seconds - EntryWaitSeconds, bytes, paced.hostBytes,
                paced.radioBytes, wire, paced.seconds / wire, radioWire, paced.seconds / radioWire,
                paced.result, fast.result);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    report("read", TransferJob::Read);
    report("write", TransferJob::Write);
    return 0;
}
