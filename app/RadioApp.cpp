#include "app/RadioApp.h"

#include "app/AboutDialog.h"
#include "app/HelpWindow.h"
#include "app/LanguageDialog.h"
#include "lang/LanguageTable.h"
#include "app/MainFrame.h"
#include "app/NavigationBar.h"
#include "lang/QtTranslations.h"
#include "lang/ResourceLookup.h"
#include "radio/LanguageStrings.h"

#include <QAction>
#include <QCoreApplication>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QIcon>
#include <QMenu>

namespace tarn {

CRadioApp::CRadioApp(QObject* parent) : QObject(parent)
{
    for (int i = 0; i < tarn::LanguageTable::MaxLanguages; ++i)
        languageNames.append(QString());
}

CRadioApp::~CRadioApp()
{
    delete m_helpWindow;
    delete m_mainFrame;
}

bool CRadioApp::InitInstance(bool show)
{
    m_mainFrame = new CMainFrame;
    connect(m_mainFrame->commandAction(ID_LANGUAGE), &QAction::triggered, this, &CRadioApp::SwitchLanguage);
    connect(m_mainFrame->commandAction(ID_APP_ABOUT), &QAction::triggered, this, &CRadioApp::onAppAbout);
    connect(m_mainFrame->commandAction(ID_HELP_TOPICS), &QAction::triggered, this, &CRadioApp::onHelpTopics);

    const QString appIcon = tarn::findResourceFile(QStringLiteral("app.ico"));
    const QIcon icon(appIcon.isEmpty() ? QStringLiteral(":/icons/app.png") : appIcon);

    LoadLanguage(true);
    if (show) {
        // Where no window manager maximises the window, it still covers the screen.
        if (QScreen* screen = QGuiApplication::primaryScreen())
            m_mainFrame->setGeometry(screen->availableGeometry());
        m_mainFrame->showMaximized();
    }
    RelabelMenus();
    m_mainFrame->setWindowIcon(icon);
    FillTree(false);
    return true;
}

void CRadioApp::LoadLanguage(bool startup)
{
    if (startup)
        languageColumn = tarn::LanguageTable::StartupColumn;
    QFile file(tarn::findResourceFile(QStringLiteral("lang.csv")));
    if (!file.fileName().isEmpty() && file.open(QIODevice::ReadOnly)) {
        const tarn::LanguageTable::Result table = tarn::LanguageTable::parse(file.readAll(), languageColumn);
        for (int j = 0; j < table.names.size(); ++j)
            languageNames[j] = table.names[j];
        for (int n = 0; n < table.strings.size(); ++n)
            m_mainFrame->setLanguageString(n, table.strings[n]);
    }
    // Qt's own dialogs and buttons follow: file dialogs, print dialog and preview.
    const QString name = languageColumn >= 0 && languageColumn < languageNames.size() ? languageNames[languageColumn]
                                                                                       : QString();
    tarn::installQtTranslation(tarn::qtLocaleForLanguage(name));
    m_mainFrame->applyTitle();
}

void CRadioApp::RelabelMenus()
{
    m_mainFrame->relabelMenus();
}

void CRadioApp::FillTree(bool clearFirst)
{
    QStringList texts{m_mainFrame->languageString(tarn::strings::Title)};
    for (const PageKindRow& row : pageKinds())
        texts << m_mainFrame->languageString(row.titleString);
    m_mainFrame->navigationBar()->tree()->FillTree(texts, clearFirst);
    m_mainFrame->navigationBar()->showWholeLabels();
    // The check mark tells whether the bar is shown, also after a language switch.
    m_mainFrame->commandAction(ID_TREE_VIEW)->setChecked(!m_mainFrame->navBar()->isHidden());
}

void CRadioApp::SwitchLanguage()
{
    std::optional<int> chosen;
    if (chooseLanguage) {
        chosen = chooseLanguage(languageNames, languageColumn);
    } else {
        LanguageDialog dialog(languageNames, languageColumn, m_mainFrame->languageStrings(), m_mainFrame);
        if (dialog.exec() == QDialog::Accepted && dialog.chosenColumn() >= 0)
            chosen = dialog.chosenColumn();
    }
    if (!chosen || *chosen == languageColumn)
        return;

    m_mainFrame->ReopenPages();
    languageColumn = *chosen;
    LoadLanguage(false);
    RelabelMenus();
    FillTree(true);
    // The new menu texts may change the bar's height: let the window lay itself out first,
    // so the reopened pages are sized to the area they really get.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::LayoutRequest);
    // The pages put their texts in when they are made: reopen them in the new language.
    m_mainFrame->ReopenPages();
    // An open help window turns to the new language's pages too.
    if (m_helpWindow && m_helpWindow->isVisible()) {
        const QString page = tarn::findHelpPage(languageColumn);
        if (!page.isEmpty()) {
            setHelpTexts();
            m_helpWindow->followLanguage(page);
        }
    }
}

void CRadioApp::setHelpTexts()
{
    m_helpWindow->setTexts(m_mainFrame->languageString(132), m_mainFrame->languageString(195),
                           m_mainFrame->languageString(196), m_mainFrame->languageString(197));
}

void CRadioApp::onAppAbout()
{
    const QString appIcon = tarn::findResourceFile(QStringLiteral("app.ico"));
    AboutDialog dialog(m_mainFrame->languageStrings(),
                       QIcon(appIcon.isEmpty() ? QStringLiteral(":/icons/app.png") : appIcon), m_mainFrame);
    dialog.exec();
}

HelpWindow* CRadioApp::helpWindow() const
{
    return m_helpWindow;
}

void CRadioApp::onHelpTopics()
{
    const QString page = tarn::findHelpPage(languageColumn);
    if (page.isEmpty())
        return;  // no help installed: nothing to show
    if (!m_helpWindow) {
        // Owned by the main window, so closing that one still ends the program.
        m_helpWindow = new HelpWindow(m_mainFrame);
        m_helpWindow->setAttribute(Qt::WA_DeleteOnClose);
    }
    setHelpTexts();
    m_helpWindow->showHelp(page);
}

}  // namespace tarn
