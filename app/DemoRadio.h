// The virtual radio behind `tarn --demo`: served in-process on a pseudo-terminal that the
// port map gives the number 1, so Read and Write work without a radio or a cable.
#pragma once

#include <QString>

#include <memory>

namespace tarn {

class CMainFrame;

class PtyRadio;

class DemoRadio {
public:
    DemoRadio();
    ~DemoRadio();  // stops the radio and removes the port mapping

    // Seeds the radio, starts it at the pace of a real line (or at once when fast) and maps
    // port 1 to it. False with the system's reason when no terminal can be had.
    bool start(QString* error = nullptr, bool fast = false);
    void stop();

    QString device() const;
    // "Demo: virtual radio on COM1 (/dev/pts/N)"
    // In the words of `pattern` ("... COM%1 (%2)"), English when it is empty.
    QString statusText(const QString& pattern = QString()) const;
    // Puts statusText() on the frame's status bar, beside the progress indicator.
    void announce(CMainFrame* frame) const;

    tarn::PtyRadio* radio() const { return m_radio.get(); }

private:
    std::unique_ptr<tarn::PtyRadio> m_radio;
};

}  // namespace tarn
