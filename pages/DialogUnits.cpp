#include "pages/DialogUnits.h"

#include <QFontMetrics>
#include <QScrollArea>
#include <QVBoxLayout>
#include <QWidget>

namespace tarn {

namespace {

int scaled(int units, int base, int divisor)
{
    // Rounded to the nearest pixel, as the templates were meant to be read.
    return (units * base + divisor / 2) / divisor;
}

}  // namespace

DialogUnits::DialogUnits(const QFont& font)
{
    const QFontMetrics metrics(font);
    const int alphabet = metrics.horizontalAdvance(
        QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
    m_baseWidth = (alphabet / 26 + 1) / 2;
    m_baseHeight = metrics.height();
}

int DialogUnits::x(int units) const
{
    return scaled(units, m_baseWidth, 4);
}

int DialogUnits::y(int units) const
{
    return scaled(units, m_baseHeight, 8);
}

QWidget* addTemplateForm(QWidget* page, const DialogUnits& units, int widthUnits, int heightUnits)
{
    auto* scroll = new QScrollArea(page);
    scroll->setFrameShape(QFrame::NoFrame);
    scroll->setWidgetResizable(false);
    scroll->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    scroll->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    auto* form = new QWidget;
    form->setFixedSize(units.size(widthUnits, heightUnits));
    scroll->setWidget(form);
    auto* layout = new QVBoxLayout(page);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(scroll);
    return form;
}

QSize fitFormToControls(QWidget* form)
{
    const QRect used = form->childrenRect();
    if (used.isEmpty())
        return form->size();
    const QSize size(used.right() + 1 + used.left(), used.bottom() + 1 + used.top());
    form->setFixedSize(size);
    return size;
}

}  // namespace tarn
