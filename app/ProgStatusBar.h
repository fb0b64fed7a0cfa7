// The main window's status bar: nothing but a progress indicator for radio transfers,
// hidden while no transfer runs.
#pragma once

#include <QStatusBar>

class QProgressBar;

namespace tarn {

class CProgStatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit CProgStatusBar(QWidget* parent = nullptr);

    // 0 hides the indicator; any other value shows it there (above 100: full).
    void SetProgress(quint32 position);

    QProgressBar* progressControl() const { return m_progress; }

private:
    QProgressBar* m_progress;
};

}  // namespace tarn
