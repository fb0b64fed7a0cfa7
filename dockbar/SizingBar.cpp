#include "dockbar/SizingBar.h"

#include <QDir>
#include <QMainWindow>
#include <QMenuBar>
#include <QMouseEvent>
#include <QPainter>
#include <QRubberBand>
#include <QSettings>
#include <QStandardPaths>
#include <QStatusBar>
#include <QStyle>
#include <QToolBar>
#include <QVBoxLayout>
#include <qdrawutil.h>

namespace tarn {

using namespace tarn::dock;

namespace {

constexpr int ButtonSize = 11;
constexpr int ButtonPitch = 13;

// The extent of the dock widgets and toolbars at one side of the frame.
QSize areaExtent(const QMainWindow* frame, Qt::DockWidgetArea dockArea, Qt::ToolBarArea barArea)
{
    QRect united;
    for (const QDockWidget* dock : frame->findChildren<QDockWidget*>(Qt::FindDirectChildrenOnly)) {
        if (dock->isVisible() && !dock->isFloating() && frame->dockWidgetArea(const_cast<QDockWidget*>(dock)) == dockArea)
            united |= dock->geometry();
    }
    for (QToolBar* bar : frame->findChildren<QToolBar*>(Qt::FindDirectChildrenOnly)) {
        if (bar->isVisible() && !bar->isFloating() && frame->toolBarArea(bar) == barArea)
            united |= bar->geometry();
    }
    return united.size();
}

}  // namespace

// The edge that faces the middle of the frame: pressing it starts a resize.
class SizingEdge : public QWidget {
public:
    explicit SizingEdge(SizingBar* bar, QWidget* parent) : QWidget(parent), m_bar(bar) {}

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        qDrawShadePanel(&painter, rect(), palette(), false, 1);
    }
    void mousePressEvent(QMouseEvent* event) override
    {
        if (m_bar->tracking) {
            // Only a right button does anything during a drag: it cancels.
            if (event->button() == Qt::RightButton)
                m_bar->stopTracking(false);
            return;
        }
        if (event->button() == Qt::LeftButton && m_bar->dockSide != DockFloating)
            m_bar->startTracking();
    }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        if (m_bar->tracking)
            m_bar->moveTracking(event->globalPosition().toPoint());
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (m_bar->tracking && event->button() == Qt::LeftButton)
            m_bar->stopTracking(true);
    }
    // Losing the pointer to another window during a drag cancels it.
    void changeEvent(QEvent* event) override
    {
        if (event->type() == QEvent::ActivationChange && !isActiveWindow() && m_bar->tracking)
            m_bar->stopTracking(false);
        QWidget::changeEvent(event);
    }
    void hideEvent(QHideEvent* event) override
    {
        if (m_bar->tracking)
            m_bar->stopTracking(false);
        QWidget::hideEvent(event);
    }

private:
    SizingBar* m_bar;
};

// The gripper strip with the close and the float button; a press elsewhere on it is left
// to the dock widget, which drags the whole bar.
class SizingBarTitle : public QWidget {
public:
    enum Button { NoButton, CloseButton, FloatButton };

    explicit SizingBarTitle(SizingBar* bar) : QWidget(bar), m_bar(bar) { setMouseTracking(true); }

    QSize sizeHint() const override
    {
        const int strip = m_bar->isFloating() ? fontMetrics().height() + 6 : m_bar->gripperWidth + 2;
        return {strip, strip};
    }
    QSize minimumSizeHint() const override { return sizeHint(); }

    // Vertical strip (gripper at the left) for a bar docked at the top or bottom.
    bool vertical() const { return m_bar->features().testFlag(QDockWidget::DockWidgetVerticalTitleBar); }

    QRect buttonRect(Button button) const
    {
        QRect close;
        QPoint step;
        if (vertical()) {
            close = QRect((width() - ButtonSize) / 2, 2, ButtonSize, ButtonSize);
            step = QPoint(0, ButtonPitch);
        } else {
            close = QRect(width() - ButtonSize - 2, (height() - ButtonSize) / 2, ButtonSize, ButtonSize);
            step = QPoint(-ButtonPitch, 0);
        }
        return button == CloseButton ? close : close.translated(step);
    }

protected:
    void paintEvent(QPaintEvent*) override
    {
        QPainter painter(this);
        painter.fillRect(rect(), palette().button());
        if (m_bar->isFloating()) {
            painter.setPen(palette().color(QPalette::ButtonText));
            painter.drawText(rect().adjusted(4, 0, -2 * ButtonPitch - 4, 0), Qt::AlignVCenter | Qt::AlignLeft,
                             m_bar->windowTitle());
        } else if (vertical()) {
            // Two raised lines down the strip, from 38 pixels below the top to 10 above the bottom.
            const int x = (width() - 7) / 2;
            for (int line = 0; line < 2; ++line)
                qDrawShadePanel(&painter, QRect(x + line * 4, 38, 3, height() - 48), palette(), false, 1);
        } else {
            const int y = (height() - 7) / 2;
            for (int line = 0; line < 2; ++line)
                qDrawShadePanel(&painter, QRect(10, y + line * 4, width() - 48, 3), palette(), false, 1);
        }
        drawButton(painter, CloseButton, QStyle::SP_TitleBarCloseButton);
        drawButton(painter, FloatButton, QStyle::SP_TitleBarMaxButton);
    }

    void mousePressEvent(QMouseEvent* event) override
    {
        const Button hit = buttonAt(event->position().toPoint());
        if (hit == NoButton || m_bar->tracking || event->button() != Qt::LeftButton) {
            event->ignore();
            return;
        }
        m_pressed = hit;
        m_sunken = true;
        update();
    }
    void mouseMoveEvent(QMouseEvent* event) override
    {
        if (m_pressed == NoButton) {
            event->ignore();
            return;
        }
        const bool over = buttonAt(event->position().toPoint()) == m_pressed;
        if (over != m_sunken) {
            m_sunken = over;
            update();
        }
    }
    void mouseReleaseEvent(QMouseEvent* event) override
    {
        if (m_pressed == NoButton) {
            event->ignore();
            return;
        }
        const Button pressed = m_pressed;
        m_pressed = NoButton;
        m_sunken = false;
        update();
        if (buttonAt(event->position().toPoint()) != pressed)
            return;
        if (pressed == CloseButton)
            m_bar->hide();
        else
            m_bar->toggleFloating();
    }
    void mouseDoubleClickEvent(QMouseEvent* event) override
    {
        if (buttonAt(event->position().toPoint()) != NoButton)
            return;
        m_bar->toggleFloating();
    }

private:
    Button buttonAt(const QPoint& pos) const
    {
        if (buttonRect(CloseButton).contains(pos))
            return CloseButton;
        if (buttonRect(FloatButton).contains(pos))
            return FloatButton;
        return NoButton;
    }
    void drawButton(QPainter& painter, Button button, QStyle::StandardPixmap glyph)
    {
        const QRect r = buttonRect(button);
        if (m_pressed == button && m_sunken)
            qDrawShadePanel(&painter, r.adjusted(-1, -1, 1, 1), palette(), true, 1);
        style()->standardIcon(glyph, nullptr, this).paint(&painter, r);
    }

    SizingBar* m_bar;
    Button m_pressed = NoButton;
    bool m_sunken = false;
};

SizingBar::SizingBar(QWidget* parent) : QDockWidget(parent)
{
    m_client = new QWidget(this);
    auto* layout = new QVBoxLayout(m_client);
    layout->setContentsMargins(0, 0, 0, 0);
    m_client->installEventFilter(this);
    setWidget(m_client);
    m_edge = new SizingEdge(this, m_client);
    m_edge->hide();
    connect(this, &QDockWidget::dockLocationChanged, this, &SizingBar::onPlacementChanged);
    connect(this, &QDockWidget::topLevelChanged, this, &SizingBar::onPlacementChanged);
}

bool SizingBar::Create(const QString& title, QMainWindow* frame, QSize defaultSize, bool gripper, int id)
{
    if (!frame)
        return false;
    m_frame = frame;
    if (parentWidget() != frame)
        setParent(frame);
    setWindowTitle(title);
    setObjectName(QStringLiteral("bar%1").arg(id));
    setFeatures(DockWidgetClosable | DockWidgetMovable | DockWidgetFloatable);
    setAllowedAreas(Qt::AllDockWidgetAreas);
    horzSize = vertSize = floatSize = defaultSize;
    hasGripper = gripper;
    gripperWidth = gripper ? 12 : 0;
    m_title = new SizingBarTitle(this);
    setTitleBarWidget(m_title);
    onPlacementChanged();
    return true;
}

void SizingBar::setClientWidget(QWidget* content)
{
    delete m_content;
    m_content = content;
    if (content) {
        content->setParent(m_client);
        m_client->layout()->addWidget(content);
        m_edge->raise();
    }
}

bool SizingBar::QueryLiveDrag()
{
    // KWin keeps "Transparent" when windows are resized as an outline.
    const QString kwinrc = QStandardPaths::locate(QStandardPaths::GenericConfigLocation, QStringLiteral("kwinrc"));
    if (kwinrc.isEmpty())
        return true;
    const QSettings kwin(kwinrc, QSettings::IniFormat);
    return kwin.value(QStringLiteral("Windows/ResizeMode")).toString() != QLatin1String("Transparent");
}

int SizingBar::dockedLength() const
{
    return isHorizontal(dockSide) ? horzSize.height() : vertSize.width();
}

void SizingBar::setDockedLength(int length)
{
    if (isHorizontal(dockSide))
        horzSize.setHeight(length);
    else
        vertSize.setWidth(length);
    applyLength(length);
}

int SizingBar::trackingLength(const QSize& size) const
{
    return isHorizontal(dockSide) ? size.height() : size.width();
}

QSize SizingBar::CalcMaxSize() const
{
    if (!m_frame)
        return size();
    const bool horizontal = isHorizontal(dockSide);
    FrameSpace space;
    space.client = m_frame->size();
    if (QWidget* menu = m_frame->menuWidget(); menu && menu->isVisible())
        space.client.rheight() -= menu->height();
    if (horizontal) {
        space.docksBefore = areaExtent(m_frame, Qt::TopDockWidgetArea, Qt::TopToolBarArea);
        space.docksAfter = areaExtent(m_frame, Qt::BottomDockWidgetArea, Qt::BottomToolBarArea);
        if (QStatusBar* status = m_frame->findChild<QStatusBar*>(QString(), Qt::FindDirectChildrenOnly);
            status && status->isVisible())
            space.statusBarHeight = status->height();
    } else {
        space.docksBefore = areaExtent(m_frame, Qt::LeftDockWidgetArea, Qt::LeftToolBarArea);
        space.docksAfter = areaExtent(m_frame, Qt::RightDockWidgetArea, Qt::RightToolBarArea);
    }
    return tarn::dock::CalcMaxSize(space, size(), horizontal);
}

void SizingBar::onPlacementChanged()
{
    if (m_placing)
        return;
    const bool floating = isFloating();
    const Qt::DockWidgetArea area = m_frame ? m_frame->dockWidgetArea(this) : Qt::NoDockWidgetArea;
    if (!floating && area == Qt::NoDockWidgetArea)
        return;  // not placed yet: the frame's docking comes back here
    m_placing = true;
    dockSide = dockSideFor(area, floating);
    setFeature(DockWidgetVerticalTitleBar, isHorizontal(dockSide));

    QMargins inset = clientInset(dockSide, edgeWidth, gripperWidth);
    // The gripper strip is the dock widget's title; the client area starts after it.
    const int strip = hasGripper ? gripperWidth + 2 : 0;
    if (isHorizontal(dockSide))
        inset.setLeft(inset.left() - strip);
    else if (dockSide != DockFloating)
        inset.setTop(inset.top() - strip);
    m_client->layout()->setContentsMargins(inset);
    if (m_title)
        m_title->updateGeometry();
    placeEdge();

    if (floating)
        resize(floatSize);
    else if (m_frame)
        applyLength(dockedLength());
    m_placing = false;
}

void SizingBar::setFeature(DockWidgetFeature feature, bool on)
{
    DockWidgetFeatures now = features();
    now.setFlag(feature, on);
    if (now != features())
        setFeatures(now);
}

void SizingBar::placeEdge()
{
    const QRect r = m_client->rect();
    QRect edge;
    switch (dockSide) {
    case DockTop: edge = QRect(0, r.height() - edgeWidth, r.width(), edgeWidth); break;
    case DockBottom: edge = QRect(0, 0, r.width(), edgeWidth); break;
    case DockLeft: edge = QRect(r.width() - edgeWidth, 0, edgeWidth, r.height()); break;
    case DockRight: edge = QRect(0, 0, edgeWidth, r.height()); break;
    case DockFloating: break;
    }
    m_edge->setVisible(!edge.isNull());
    m_edge->setGeometry(edge);
    m_edge->setCursor(isHorizontal(dockSide) ? Qt::SplitVCursor : Qt::SplitHCursor);
    m_edge->raise();
    edgeRect = edge.isNull() ? QRect() : QRect(m_client->mapTo(this, edge.topLeft()), edge.size());
    if (m_title) {
        auto* title = static_cast<SizingBarTitle*>(m_title);
        const QPoint at = m_title->mapTo(this, QPoint(0, 0));
        closeRect = title->buttonRect(SizingBarTitle::CloseButton).translated(at);
        floatRect = title->buttonRect(SizingBarTitle::FloatButton).translated(at);
    }
}

void SizingBar::applyLength(int length)
{
    if (!m_frame || isFloating())
        return;
    m_frame->resizeDocks({this}, {length}, isHorizontal(dockSide) ? Qt::Vertical : Qt::Horizontal);
}

void SizingBar::toggleFloating()
{
    if (features().testFlag(DockWidgetFloatable))
        setFloating(!isFloating());
}

bool SizingBar::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == m_client && event->type() == QEvent::Resize)
        placeEdge();
    return QDockWidget::eventFilter(watched, event);
}

void SizingBar::resizeEvent(QResizeEvent* event)
{
    QDockWidget::resizeEvent(event);
    // Sizes the frame gave the bar (its own splitter, a new layout) are the bar's sizes now.
    if (tracking || !m_frame || !m_frame->isVisible())
        return;
    if (isFloating())
        floatSize = size();
    else if (isHorizontal(dockSide))
        horzSize.setHeight(height());
    else if (dockSide != DockFloating)
        vertSize.setWidth(width());
}

int SizingBar::smallestLength() const
{
    // The frame never makes the bar smaller than its contents allow (the tree's frame and
    // scroll bar, the caption buttons), whatever the bar asks for.
    const QSize contents = minimumSizeHint().expandedTo(minimumSize());
    return qMax(trackingLength(minSize), trackingLength(contents));
}

void SizingBar::startTracking()
{
    m_edge->grabMouse();
    liveDrag = liveDragQuery ? liveDragQuery() : true;
    // The drag starts from the size the bar has, which is not always the one it asked for.
    if (isHorizontal(dockSide))
        horzSize.setHeight(height());
    else
        vertSize.setWidth(width());
    trackStartSize = isHorizontal(dockSide) ? horzSize : vertSize;
    trackAnchor = mapToGlobal(edgeRect.center());
    maxSize = CalcMaxSize();
    tracking = true;
    if (!liveDrag) {
        if (!m_outline)
            m_outline = new QRubberBand(QRubberBand::Line, m_frame);
        m_outline->setGeometry(outlineRect(QRect(mapTo(m_frame, edgeRect.topLeft()), edgeRect.size()), 0, dockSide));
        m_outline->show();
    }
}

void SizingBar::moveTracking(const QPoint& globalPos)
{
    const int start = trackingLength(trackStartSize);
    const int length = trackedLength(start, trackAnchor, globalPos, dockSide, smallestLength(),
                                     trackingLength(maxSize));
    QSize& stored = isHorizontal(dockSide) ? horzSize : vertSize;
    if (length == trackingLength(stored))
        return;
    if (isHorizontal(dockSide))
        stored.setHeight(length);
    else
        stored.setWidth(length);
    if (liveDrag) {
        applyLength(length);
    } else if (m_outline) {
        const QRect edge(mapTo(m_frame, edgeRect.topLeft()), edgeRect.size());
        m_outline->setGeometry(outlineRect(edge, length - start, dockSide));
    }
}

void SizingBar::stopTracking(bool accept)
{
    if (m_outline)
        m_outline->hide();
    tracking = false;
    m_edge->releaseMouse();
    if (!accept) {
        if (isHorizontal(dockSide))
            horzSize = trackStartSize;
        else
            vertSize = trackStartSize;
    }
    applyLength(dockedLength());
}

}  // namespace tarn
