#include "app/DemoRadio.h"

#include "app/MainFrame.h"
#include "app/ProgStatusBar.h"
#include "emulator/PtyRadio.h"
#include "link/PortMap.h"
#include "radio/LanguageStrings.h"

#include <QLabel>

namespace tarn {

namespace {
constexpr int DemoPort = 1;
}  // namespace

DemoRadio::DemoRadio() = default;

DemoRadio::~DemoRadio()
{
    stop();
}

bool DemoRadio::start(QString* error, bool fast)
{
    stop();
    // The factory radio: a few programmed channels, limits 136-174 and 400-480 MHz.
    m_radio = std::make_unique<tarn::PtyRadio>();
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

QString DemoRadio::statusText(const QString& pattern) const
{
    return (pattern.isEmpty() ? QStringLiteral("Demo: virtual radio on COM%1 (%2)") : pattern)
        .arg(DemoPort)
        .arg(device());
}

void DemoRadio::announce(CMainFrame* frame) const
{
    // A permanent widget: the progress indicator and its clearing of messages stay as they are.
    auto* label = new QLabel(statusText(frame->languageString(tarn::strings::DemoStatus)), frame->progressBar());
    label->setObjectName(QStringLiteral("demoNote"));
    frame->progressBar()->addPermanentWidget(label);
}

}  // namespace tarn
