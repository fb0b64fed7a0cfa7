#include "app/ProgStatusBar.h"

#include <QProgressBar>

namespace tarn {

CProgStatusBar::CProgStatusBar(QWidget* parent)
    : QStatusBar(parent), m_progress(new QProgressBar(this))
{
    m_progress->setRange(0, 100);
    m_progress->setTextVisible(false);
    addWidget(m_progress, 1);
    m_progress->hide();
}

void CProgStatusBar::SetProgress(quint32 position)
{
    const bool visible = position != 0;
    if (visible != m_progress->isVisibleTo(this)) {
        clearMessage();
        m_progress->setVisible(visible);
    }
    m_progress->setValue(static_cast<int>(qMin<quint32>(position, 100)));
}

}  // namespace tarn
