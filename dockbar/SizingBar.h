// SizingBar: a docking bar that docks at any side of the main window or floats, draws its
// own gripper with a close and a float button, and is resized by dragging the edge that
// faces the middle of the window, live or as an outline as the desktop prefers.
#pragma once

#include "dockbar/SizingBarGeometry.h"

#include <QDockWidget>
#include <QPointer>

#include <functional>

class QMainWindow;
class QRubberBand;

namespace tarn {

class SizingBar : public QDockWidget {
    Q_OBJECT
public:
    explicit SizingBar(QWidget* parent = nullptr);

    // Makes the bar a bar of `frame` with its title, its size while docked or floating and
    // a gripper with the caption buttons; `id` names the bar's window.
    bool Create(const QString& title, QMainWindow* frame, QSize defaultSize, bool gripper, int id);
    // The bar's content, filling its client area.
    void setClientWidget(QWidget* content);
    QWidget* clientWidget() const { return m_content; }

    // The desktop's choice between resizing live and moving an outline: on KDE the window
    // manager's resize mode, else live.
    static bool QueryLiveDrag();
    // Replaceable by tests.
    std::function<bool()> liveDragQuery = &SizingBar::QueryLiveDrag;

    // The largest size a drag may reach, from the frame's layout now.
    QSize CalcMaxSize() const;
    // The smallest length along the bar's axis a drag may reach: minSize, or what the bar
    // really gets when its contents need more.
    int smallestLength() const;
    // The size along the bar's axis while docked (the width of a bar at the left or right).
    int dockedLength() const;
    // Makes that the size along the bar's axis, for its side now.
    void setDockedLength(int length);

    // The sizing edge and the title strip with the gripper and the caption buttons.
    QWidget* sizingEdge() const { return m_edge; }
    QWidget* titleStrip() const { return m_title; }

    QSize horzSize{200, 200};
    QSize vertSize{200, 200};
    QSize floatSize{200, 200};
    QSize minSize{32, 32};
    QSize maxSize;
    int edgeWidth = 5;
    bool hasGripper = false;
    int gripperWidth = 0;
    tarn::dock::DockSide dockSide = tarn::dock::DockFloating;
    bool tracking = false;
    bool liveDrag = false;
    QSize trackStartSize;
    QPoint trackAnchor;
    // In the bar's coordinates.
    QRect edgeRect;
    QRect closeRect;
    QRect floatRect;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;

private:
    friend class SizingEdge;
    friend class SizingBarTitle;

    void onPlacementChanged();
    void placeEdge();
    void applyLength(int length);
    void toggleFloating();
    void setFeature(DockWidgetFeature feature, bool on);
    void startTracking();
    void moveTracking(const QPoint& globalPos);
    void stopTracking(bool accept);
    int trackingLength(const QSize& size) const;

    QMainWindow* m_frame = nullptr;
    QWidget* m_client = nullptr;
    QPointer<QWidget> m_content;
    QWidget* m_edge = nullptr;
    QWidget* m_title = nullptr;
    QRubberBand* m_outline = nullptr;
    bool m_placing = false;
};

}  // namespace tarn
