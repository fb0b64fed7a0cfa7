// The child window that holds one editing page inside the main window's client area and
// gives the page the main frame's image.
#pragma once

#include <QMdiSubWindow>

namespace tarn {

class RadioImage;
class PageView;

class CChildFrame : public QMdiSubWindow {
    Q_OBJECT
public:
    explicit CChildFrame(tarn::RadioImage* image, QWidget* parent = nullptr);

    tarn::RadioImage* image() const { return m_image; }
    PageView* page() const { return m_page; }
    void setPage(PageView* page);

signals:
    // The user closes the window (not sent when the window goes with the main window).
    void closing();

protected:
    void closeEvent(QCloseEvent* event) override;

private:
    tarn::RadioImage* m_image;
    PageView* m_page = nullptr;
};

}  // namespace tarn
