#include "app/HelpWindow.h"

#include <QAction>
#include <QDir>
#include <QFileInfo>
#include <QKeySequence>
#include <QStyle>
#include <QTextBrowser>
#include <QToolBar>

namespace tarn {

HelpWindow::HelpWindow(QWidget* parent)
    : QMainWindow(parent, Qt::Window)
    , m_browser(new QTextBrowser(this))
{
    setObjectName(QStringLiteral("helpWindow"));
    // Links to the web open in the desktop's browser; the help's own pages stay here.
    m_browser->setOpenExternalLinks(true);
    setCentralWidget(m_browser);

    QToolBar* bar = addToolBar(QString());
    bar->setMovable(false);
    bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
    m_back = bar->addAction(style()->standardIcon(QStyle::SP_ArrowBack), QString(), m_browser,
                            &QTextBrowser::backward);
    m_back->setShortcut(QKeySequence::Back);
    m_forward = bar->addAction(style()->standardIcon(QStyle::SP_ArrowForward), QString(), m_browser,
                               &QTextBrowser::forward);
    m_forward->setShortcut(QKeySequence::Forward);
    m_contents = bar->addAction(style()->standardIcon(QStyle::SP_DirHomeIcon), QString(), this, [this] {
        m_browser->setSource(m_home);
    });
    m_back->setEnabled(false);
    m_forward->setEnabled(false);
    connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QAction::setEnabled);
    connect(m_browser, &QTextBrowser::forwardAvailable, m_forward, &QAction::setEnabled);
    resize(760, 580);
}

void HelpWindow::showHelp(const QString& startPage)
{
    const QUrl home = QUrl::fromLocalFile(startPage);
    if (home != m_home) {
        // Another language's help: its history would lead back into the old one.
        m_home = home;
        m_browser->setSource(home);
        m_browser->clearHistory();
    }
    show();
    raise();
    activateWindow();
}

void HelpWindow::followLanguage(const QString& startPage)
{
    const QUrl home = QUrl::fromLocalFile(startPage);
    if (home == m_home)
        return;
    // The page being read, in the new language's folder.
    const QString current = QFileInfo(m_browser->source().toLocalFile()).fileName();
    const QFileInfo same(QFileInfo(startPage).dir(), current);
    m_home = home;
    m_browser->setSource(!current.isEmpty() && same.exists() ? QUrl::fromLocalFile(same.filePath()) : home);
    m_browser->clearHistory();
}

void HelpWindow::setTexts(const QString& title, const QString& back, const QString& forward,
                          const QString& contents)
{
    setWindowTitle(title);
    m_back->setText(back);
    m_forward->setText(forward);
    m_contents->setText(contents);
}

}  // namespace tarn
