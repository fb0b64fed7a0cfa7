// The application object: starts the program (main window, language table, menus) and
// carries the application-wide commands: language, about and help.
#pragma once

#include "lang/LanguageTable.h"

#include <QObject>
#include <QPointer>
#include <QStringList>

#include <functional>
#include <optional>

namespace tarn {

class CMainFrame;
class HelpWindow;

class CRadioApp : public QObject {
    Q_OBJECT
public:
    explicit CRadioApp(QObject* parent = nullptr);
    ~CRadioApp() override;

    // Builds and shows the main window; false when it cannot be made.
    bool InitInstance(bool show = true);

    // Reads lang.csv into the language names and strings; the start-up load selects
    // column 2 first. A missing file keeps the current texts. Qt's own texts follow the
    // selected language through Qt's translations (none for English).
    void LoadLanguage(bool startup);
    // Puts the language strings into the menu entries.
    void RelabelMenus();
    // Fills the navigation tree and checks its menu entry.
    void FillTree(bool clearFirst);
    // The language command: on a new choice, reloads every text and reopens the pages.
    void SwitchLanguage();

    CMainFrame* mainFrame() const { return m_mainFrame; }
    QStringList languageNames;
    int languageColumn = tarn::LanguageTable::StartupColumn;

    // The language dialog, replaceable by tests: returns the chosen column or nothing.
    std::function<std::optional<int>(const QStringList& names, int current)> chooseLanguage;

public slots:
    void onAppAbout();
    void onHelpTopics();

public:
    // The help window while it is open (for tests); null before the first Help topics.
    HelpWindow* helpWindow() const;

private:
    // The help window's title and buttons in the current language.
    void setHelpTexts();

    CMainFrame* m_mainFrame = nullptr;
    QPointer<HelpWindow> m_helpWindow;
};

}  // namespace tarn
