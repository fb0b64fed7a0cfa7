#include "app/ClientBackground.h"

#include <QEvent>
#include <QMdiArea>
#include <QPainter>

ClientBackground::ClientBackground(QObject* parent) : QObject(parent)
{
}

void ClientBackground::attach(QMdiArea* area)
{
    m_area = area;
    area->viewport()->installEventFilter(this);
}

bool ClientBackground::ShowPicture(const QString& fileName, QPainter& painter, const QRect& rect, bool fit)
{
    m_picture.setName(fileName);
    return m_picture.ShowPicture(painter, rect, fit, m_area);
}

bool ClientBackground::eventFilter(QObject* watched, QEvent* event)
{
    if (!m_area || watched != m_area->viewport())
        return false;
    switch (event->type()) {
    case QEvent::Paint: {
        QPainter painter(m_area->viewport());
        const bool drawn = ShowPicture(QString::fromLatin1(PictureName), painter, m_area->viewport()->rect(), true);
        painter.end();
        // Drawn: the picture covers every pixel. Not drawn: the area paints itself.
        return drawn;
    }
    case QEvent::Resize:
        m_area->viewport()->update();
        return false;
    default:
        return false;
    }
}
