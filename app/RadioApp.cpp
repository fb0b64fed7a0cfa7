#include "app/RadioApp.h"

#include "app/AboutDialog.h"
#include "app/HelpWindow.h"
#include "app/LanguageDialog.h"
#include "app/LanguageTable.h"
#include "app/MainFrame.h"
#include "app/ResourceLookup.h"

#include <QAction>
#include <QFile>
#include <QGuiApplication>
#include <QScreen>
#include <QIcon>
#include <QMenu>

namespace {

// The menu entries that take a language string: popups by their position on the menu
// bar, commands by their id, in the order they are relabelled.
struct MenuLabel {
    bool popup;
    int key;  // position or command id
    int string;
};

constexpr MenuLabel menuLabels[] = {
    {true, 0, 91},
    {false, ID_FILE_NEW, 92},
    {false, ID_FILE_CLOSE, 93},
    {false, ID_FILE_SAVE, 94},
    {false, ID_FILE_OPEN, 95},
    {false, ID_FILE_PRINT, 96},
    {false, ID_APP_EXIT, 97},
    {true, 1, 98},
    {false, ID_READ_FROM_RADIO, 99},
    {false, ID_WRITE_TO_RADIO, 100},
    {true, 2, 101},
    {false, ID_CHANNEL_PAGE, 1},
    {false, ID_OPTIONS_PAGE, 27},
    {false, ID_KEYS_PAGE, 28},
    {false, ID_PORT_SELECTION, 102},
    {true, 4, 103},
    {false, ID_VIEW_TOOLBAR, 104},
    {false, ID_VIEW_STATUS_BAR, 105},
    {false, ID_TREE_VIEW, 120},
    {true, 5, 106},
    {false, ID_WINDOW_CASCADE, 107},
    {false, ID_WINDOW_TILE_HORZ, 108},
    {false, ID_WINDOW_ARRANGE, 109},
    {false, ID_LANGUAGE, 112},
    {true, 7, 110},
    {false, ID_APP_ABOUT, 111},
    {false, ID_HELP_TOPICS, 132},
};

}  // namespace

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
        languageColumn = StartupLanguageColumn;
    QFile file(tarn::findResourceFile(QStringLiteral("lang.csv")));
    if (!file.fileName().isEmpty() && file.open(QIODevice::ReadOnly)) {
        const tarn::LanguageTable::Result table = tarn::LanguageTable::parse(file.readAll(), languageColumn);
        for (int j = 0; j < table.names.size(); ++j)
            languageNames[j] = table.names[j];
        QStringList& strings = m_mainFrame->languageStrings;
        for (int n = 0; n < table.strings.size(); ++n)
            strings[n] = table.strings[n];
    }
    m_mainFrame->applyTitle();
}

void CRadioApp::RelabelMenus()
{
    for (const MenuLabel& label : menuLabels) {
        QAction* entry = label.popup ? m_mainFrame->menuBarEntry(label.key)
                                     : m_mainFrame->commandAction(label.key);
        if (entry)
            entry->setText(m_mainFrame->languageString(label.string));
    }
    m_mainFrame->updateToolTips();
}

void CRadioApp::FillTree(bool clearFirst)
{
    Q_UNUSED(clearFirst);
    m_mainFrame->commandAction(ID_TREE_VIEW)->setChecked(true);
}

void CRadioApp::SwitchLanguage()
{
    std::optional<int> chosen;
    if (chooseLanguage) {
        chosen = chooseLanguage(languageNames, languageColumn);
    } else {
        LanguageDialog dialog(languageNames, languageColumn, m_mainFrame->languageStrings, m_mainFrame);
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
    // The pages put their texts in when they are made: reopen them in the new language.
    m_mainFrame->ReopenPages();
}

void CRadioApp::onAppAbout()
{
    const QString appIcon = tarn::findResourceFile(QStringLiteral("app.ico"));
    AboutDialog dialog(m_mainFrame->languageStrings,
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
        m_helpWindow = new HelpWindow;
        m_helpWindow->setAttribute(Qt::WA_DeleteOnClose);
    }
    m_helpWindow->setTexts(m_mainFrame->languageString(132), m_mainFrame->languageString(195),
                           m_mainFrame->languageString(196), m_mainFrame->languageString(197));
    m_helpWindow->showHelp(page);
}
