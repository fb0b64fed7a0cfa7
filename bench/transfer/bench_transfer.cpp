// Times a complete read, a complete write, and the write of a one-channel change (the whole
// radio read first, the changed chunks written and their blocks read back, against a write of
// every chunk followed by a verify) against the virtual radio on a pseudo-terminal, once with
// the line paced at 9600 baud in both directions and once without pacing, and compares the
// paced time with the time the bytes need on a 9600-baud line.
#include "emulator/PtyRadio.h"
#include "link/PortMap.h"
#include "link/TransferJob.h"
#include "radio/Bytes.h"
#include "radio/RadioLayout.h"
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
    int imageNotify(ImageNotifyCode) override { return 1; }
    void transferResult(TransferResult code) override { result = static_cast<int>(code); }
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
    int chunkWrites = 0;
    int result = -1;
};

enum class Case { Read, Write, ChangeReadFirst, ChangeQuickVerified };

Figures measure(Case which, bool paced)
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
    if (which == Case::ChangeReadFirst || which == Case::ChangeQuickVerified)
        writeLe32(image.channelSlot(4).data() + layout::channel::RxFrequency, 0x43882500);  // channel 5
    SilentListener listener;
    TransferJob job;
    job.prepare(&listener, &image);
    job.setReadBeforeWrite(which == Case::ChangeReadFirst);
    job.setVerifyAfterWrite(which == Case::ChangeQuickVerified);
    job.start(which == Case::Read ? TransferJob::Read : TransferJob::Write);

    const auto start = std::chrono::steady_clock::now();
    job.run();
    Figures f;
    f.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    f.result = listener.result;
    for (const Frame& frame : radio.frames()) {
        f.hostBytes += frame.size();
        f.radioBytes += replyBytes(frame);
    }
    f.chunkWrites = VirtualRadio::countFrames(radio.frames(), FrameKind::ChunkWrite);
    radio.stop();
    PortMap::setOverride(QString());
    return f;
}

void report(const char* name, Case which)
{
    const Figures paced = measure(which, true);
    const Figures fast = measure(which, false);
    const std::size_t bytes = paced.hostBytes + paced.radioBytes;
    // Both directions at 10 bits a byte, and the wait before the entry sequence (a verify
    // after a write uses the same connection: one wait).
    const double wire = bytes * BitsPerByte / Baud + EntryWaitSeconds;
    std::printf("%-24s paced %6.2f s  unpaced %5.2f s (program overhead %.3f s)\n"
                "%-24s bytes %5zu (host %zu, radio %zu)  chunk writes %3d  wire time %5.2f s  paced/wire %.3f"
                "  results %d/%d\n",
                name, paced.seconds, fast.seconds, fast.seconds - EntryWaitSeconds, "", bytes, paced.hostBytes,
                paced.radioBytes, paced.chunkWrites, wire, paced.seconds / wire, paced.result, fast.result);
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    report("read", Case::Read);
    report("write (every chunk)", Case::Write);
    report("one channel, read first", Case::ChangeReadFirst);
    report("one channel, + verify", Case::ChangeQuickVerified);
    return 0;
}
