#include "pages/ChannelFindBar.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QStyle>
#include <QToolButton>

namespace tarn {

ChannelFindBar::ChannelFindBar(const Texts& texts, QWidget* parent)
    : QWidget(parent), m_field(new QLineEdit(this)), m_next(new QToolButton(this)), m_previous(new QToolButton(this)),
      m_notFound(new QLabel(texts.notFound, this))
{
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    m_field->setPlaceholderText(texts.find);
    m_field->setAccessibleName(texts.find);
    m_field->setClearButtonEnabled(true);
    m_field->installEventFilter(this);
    m_previous->setIcon(style()->standardIcon(QStyle::SP_ArrowUp));
    m_previous->setToolTip(texts.previous + QStringLiteral(" (Shift+F3)"));
    m_previous->setAccessibleName(texts.previous);
    m_next->setIcon(style()->standardIcon(QStyle::SP_ArrowDown));
    m_next->setToolTip(texts.next + QStringLiteral(" (F3)"));
    m_next->setAccessibleName(texts.next);
    auto* close = new QToolButton(this);
    close->setIcon(style()->standardIcon(QStyle::SP_TitleBarCloseButton));
    close->setAutoRaise(true);
    close->setToolTip(QStringLiteral("Esc"));
    m_notFound->hide();
    m_field->setMinimumWidth(m_field->fontMetrics().horizontalAdvance(QLatin1Char('M')) * 16);
    layout->addWidget(m_field);
    layout->addWidget(m_previous);
    layout->addWidget(m_next);
    layout->addWidget(m_notFound);
    layout->addStretch();
    layout->addWidget(close);

    connect(m_field, &QLineEdit::textEdited, this, [this](const QString& text) { emit findRequested(text, false, false); });
    connect(m_field, &QLineEdit::returnPressed, this, [this] { emit findRequested(text(), false, true); });
    connect(m_next, &QToolButton::clicked, this, [this] { emit findRequested(text(), false, true); });
    connect(m_previous, &QToolButton::clicked, this, [this] { emit findRequested(text(), true, true); });
    connect(close, &QToolButton::clicked, this, [this] {
        hide();
        emit closed();
    });
}

QString ChannelFindBar::text() const
{
    return m_field->text();
}

void ChannelFindBar::open()
{
    show();
    m_field->setFocus(Qt::ShortcutFocusReason);
    m_field->selectAll();
}

void ChannelFindBar::setNotFound(bool notFound)
{
    m_notFound->setVisible(notFound);
}

bool ChannelFindBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_field && event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Escape) {
            hide();
            emit closed();
            return true;
        }
        // Shift+Enter looks backwards, as Shift+F3 does.
        if ((key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) && (key->modifiers() & Qt::ShiftModifier)) {
            emit findRequested(text(), true, true);
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

}  // namespace tarn
