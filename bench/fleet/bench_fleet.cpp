// Times a fleet write to four radios on four lines against the same write to one radio on
// one line, in the same run: virtual radios on pseudo-terminals paced at 9600 baud in both
// directions, each radio read first, one channel changed, its block written and read back.
// Four radios side by side should take about as long as one. Then how soon a stop in the
// middle of four writes ends them all.
#include "bench/common/BenchFigures.h"
#include "emulator/PtyRadio.h"
#include "fleet/FleetRun.h"
#include "link/PortMap.h"
#include "radio/Bytes.h"
#include "radio/RadioLayout.h"

#include <QCoreApplication>
#include <QTemporaryDir>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <memory>
#include <thread>
#include <vector>

using namespace tarn;

namespace {

constexpr int Radios = 4;
constexpr int Rounds = 3;

double writeFleet(std::vector<std::unique_ptr<PtyRadio>>& radios, int count, const QString& log)
{
    const VirtualRadio::Memory factory = VirtualRadio::factoryMemory();
    for (auto& radio : radios)
        radio->setMemory(factory);
    FleetSettings settings;
    settings.configuration = VirtualRadio::imageFromMemory(factory);
    writeLe32(settings.configuration.channelSlot(4).data() + layout::channel::RxFrequency, 0x43882500);  // channel 5
    settings.logPath = log;
    settings.text = [](int) { return std::string(); };
    std::vector<int> ports;
    for (int n = 1; n <= count; ++n)
        ports.push_back(n);

    FleetRun run(std::move(settings));
    std::string error;
    const auto start = std::chrono::steady_clock::now();
    if (!run.startPorts(ports, &error)) {
        std::fprintf(stderr, "%s\n", error.c_str());
        std::exit(1);
    }
    run.wait();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    for (const RadioState& radio : run.radios())
        if (radio.result != RadioResult::Written || radio.verify != RadioVerify::Equal) {
            std::fprintf(stderr, "COM%d: %s %s\n", radio.port, RadioResultWord(radio.result).c_str(),
                         RadioVerifyWord(radio.verify).c_str());
            std::exit(1);
        }
    return seconds;
}

// How long the fleet takes to end once stopped in the middle of four writes.
double stopFleet(std::vector<std::unique_ptr<PtyRadio>>& radios, const QString& log)
{
    const VirtualRadio::Memory factory = VirtualRadio::factoryMemory();
    for (auto& radio : radios)
        radio->setMemory(factory);
    FleetSettings settings;
    settings.configuration = VirtualRadio::imageFromMemory(factory);
    writeLe32(settings.configuration.channelSlot(4).data() + layout::channel::RxFrequency, 0x43882500);
    settings.logPath = log;
    settings.text = [](int) { return std::string(); };
    FleetRun run(std::move(settings));
    std::string error;
    if (!run.startPorts({1, 2, 3, 4}, &error))
        std::exit(1);
    std::this_thread::sleep_for(std::chrono::seconds(2));
    const auto start = std::chrono::steady_clock::now();
    run.requestStop();
    run.wait();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    QTemporaryDir dir;
    std::vector<std::unique_ptr<PtyRadio>> radios;
    QString map;
    for (int n = 1; n <= Radios; ++n) {
        auto radio = std::make_unique<PtyRadio>();
        std::string error;
        if (!radio->start(&error)) {
            std::fprintf(stderr, "no pseudo-terminal: %s\n", error.c_str());
            return 1;
        }
        map += QStringLiteral("%1%2=%3").arg(n > 1 ? "," : "").arg(n).arg(QString::fromStdString(radio->slavePath()));
        radios.push_back(std::move(radio));
    }
    PortMap::setOverride(map);
    const QString log = dir.filePath(QStringLiteral("fleet-log.csv"));

    std::vector<double> one;
    std::vector<double> four;
    for (int round = 1; round <= Rounds; ++round) {
        one.push_back(writeFleet(radios, 1, log));
        four.push_back(writeFleet(radios, Radios, log));
        std::printf("round %d: one radio %.2f s, four radios %.2f s, ratio %.3f\n", round, one.back(), four.back(),
                    four.back() / one.back());
    }
    std::printf("median: one radio %.2f s, four radios %.2f s, ratio %.3f (goal at most 1.15)\n", bench::median(one),
                bench::median(four), bench::median(four) / bench::median(one));
    std::vector<double> stops;
    for (int round = 0; round < Rounds; ++round)
        stops.push_back(stopFleet(radios, log));
    std::printf("stop in the middle of four writes: ended after %.3f, %.3f, %.3f s (goal under 0.5 s)\n", stops[0],
                stops[1], stops[2]);
    return 0;
}
