// The help window: Tarn's HTML help pages in a browser with back, forward and contents.
#pragma once

#include <QMainWindow>
#include <QUrl>

class QAction;
class QTextBrowser;

namespace tarn {

class HelpWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit HelpWindow(QWidget* parent = nullptr);

    // Shows `startPage` (a local file) and makes it the page Contents returns to.
    void showHelp(const QString& startPage);
    // The help of another language in the open window: the same page there when it has
    // one, else its start page. The window keeps its place and does not take the focus.
    void followLanguage(const QString& startPage);
    // Window title and button texts, from the language strings.
    void setTexts(const QString& title, const QString& back, const QString& forward,
                  const QString& contents);

    QTextBrowser* browser() const { return m_browser; }

private:
    QTextBrowser* m_browser;
    QAction* m_back;
    QAction* m_forward;
    QAction* m_contents;
    QUrl m_home;
};

}  // namespace tarn
