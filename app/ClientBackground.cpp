#include "app/ClientBackground.h"

#include <QEvent>
#include <QMdiArea>
#include <QPainter>

namespace tarn {

ClientBackground::ClientBackground(QObject* parent) : QObject(parent)
{
}

void ClientBackground::attach(QMdiArea* area)
{
    m_area = area;
    m_viewport = area->viewport();
    m_viewport->installEventFilter(this);
}

bool ClientBackground::ShowPicture(const QString& fileName, QPainter& painter, const QRect& rect, bool fit)
{
    m_picture.setName(fileName);
    return m_picture.ShowPicture(painter, rect, fit, m_area);
}

bool ClientBackground::eventFilter(QObject* watched, QEvent* event)
{
    if (!m_viewport || watched != m_viewport)
        return false;
    switch (event->type()) {
    case QEvent::Paint: {
        QPainter painter(m_viewport);
        const bool drawn = ShowPicture(QString::fromLatin1(PictureName), painter, m_viewport->rect(), true);
        painter.end();
        // Drawn: the picture covers every pixel. Not drawn: the area paints itself.
        return drawn;
    }
    case QEvent::Resize:
        m_viewport->update();
        return false;
    default:
        return false;
    }
}

}  // namespace tarn
