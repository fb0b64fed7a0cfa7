#include "app/DemoRadio.h"

#include "app/MainFrame.h"
#include "app/ProgStatusBar.h"
#include "emulator/PtyRadio.h"
#include "link/PortMap.h"
#include "link/WriteChecks.h"
#include "radio/Bytes.h"

#include <QLabel>

namespace {

constexpr int DemoPort = 1;
// 145.00000 MHz, a two-metre frequency inside the radio's own receive limits.
constexpr std::uint32_t DemoVfoFrequency = 0x14500000;

bool insideReceiveLimits(const tarn::RadioImage& image, std::uint32_t word)
{
    using namespace tarn::layout::limits;
    const double f = tarn::frequencyWordMHz(word);
    return tarn::insideLimit(f, image.bandLimitMHz(RxLow1), image.bandLimitMHz(RxHigh1))
        || tarn::insideLimit(f, image.bandLimitMHz(RxLow2), image.bandLimitMHz(RxHigh2));
}

// The factory radio with its programmed channels, its A-band VFO moved inside the radio's
// limits when the factory value is not, so that writing back what was read is accepted.
tarn::VirtualRadio::Memory demoMemory()
{
    using namespace tarn;
    RadioImage image = VirtualRadio::imageFromMemory(VirtualRadio::factoryMemory());
    auto bandA = image.bandRecord(Band::A);
    if (!insideReceiveLimits(image, readLe32(bandA.data() + layout::vfo::RxFrequency))) {
        writeLe32(bandA.data() + layout::vfo::RxFrequency, DemoVfoFrequency);
        writeLe32(bandA.data() + layout::vfo::TxFrequency, DemoVfoFrequency);
    }
    return VirtualRadio::memoryFromImage(image);
}

}  // namespace

DemoRadio::DemoRadio() = default;

DemoRadio::~DemoRadio()
{
    stop();
}

bool DemoRadio::start(QString* error, bool fast)
{
    stop();
    m_radio = std::make_unique<tarn::PtyRadio>();
    m_radio->setMemory(demoMemory());
    m_radio->setFast(fast);
    std::string reason;
    if (!m_radio->start(&reason)) {
        if (error)
            *error = QString::fromStdString(reason);
        m_radio.reset();
        return false;
    }
    tarn::PortMap::setOverride(QStringLiteral("%1=%2").arg(DemoPort).arg(device()));
    return true;
}

void DemoRadio::stop()
{
    if (!m_radio)
        return;
    m_radio->stop();
    m_radio.reset();
    tarn::PortMap::setOverride(QString());
}

QString DemoRadio::device() const
{
    return m_radio ? QString::fromStdString(m_radio->slavePath()) : QString();
}

QString DemoRadio::statusText() const
{
    return QStringLiteral("Demo: virtual radio on COM%1 (%2)").arg(DemoPort).arg(device());
}

void DemoRadio::announce(CMainFrame* frame) const
{
    // A permanent widget: the progress indicator and its clearing of messages stay as they are.
    auto* label = new QLabel(statusText(), frame->progressBar());
    label->setObjectName(QStringLiteral("demoNote"));
    frame->progressBar()->addPermanentWidget(label);
}
