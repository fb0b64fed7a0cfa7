// The main frame: menus and their relabelling, tool tips, page frames, language switch.
#include "AppFixture.h"

#include <QMenu>

#include "app/ChildFrame.h"
#include "app/HelpWindow.h"
#include "app/NavigationBar.h"
#include "app/ToolTipText.h"
#include "pages/KeySetView.h"

#include <QDialog>
#include <QComboBox>
#include <QDockWidget>
#include <QMenuBar>
#include <QTextBrowser>
#include <QToolBar>

using namespace tarn;

class TestMainFrame : public QObject {
    Q_OBJECT
private slots:
    void toolTipRule_data();
    void toolTipRule();
    void startsWithColumnTwoAndTitleString0();
    void menuBarPopupsAreRelabelledByPosition();
    void commandsKeepTheirEntriesAfterRelabel();
    void toolbarHoldsTheCommandsInOrder();
    void toolTipsFollowTheMenuTexts();
    void shortcutsShownInMenusAreBound();
    void pageCommandOpensOneFramePerPage();
    void pageFrameSizeAndTitle();
    void openPageByTitle();
    void refreshLoadsOpenPagesAndShowsChannelPage();
    void languageSwitchReopensExactlyTheOpenPages();
    void choosingTheSameLanguageReopensNothing();
    void treeViewTogglesTheNavigationBar();
    void maximisedPageKeepsTheTitleAndTheWindowMenuListsPages();
    void emptyLanguageStringShowsTheResourceText();
    void helpTopicsShowsTheHelpOfTheLanguage_data();
    void helpTopicsShowsTheHelpOfTheLanguage();
};

void TestMainFrame::toolTipRule_data()
{
    QTest::addColumn<QString>("menuText");
    QTest::addColumn<QString>("tip");
    QTest::newRow("chinese mnemonic") << QStringLiteral("新建(&N)\tCtrl+N") << QStringLiteral("新建");
    QTest::newRow("no parenthesis stays whole") << QStringLiteral("端口选择") << QStringLiteral("端口选择");
    QTest::newRow("english mnemonic and shortcut") << QStringLiteral("&Open...\tCtrl+O") << QStringLiteral("Open...");
    QTest::newRow("first parenthesis") << QStringLiteral("Read (radio) (x)") << QStringLiteral("Read ");
    QTest::newRow("double ampersand") << QStringLiteral("Save && go") << QStringLiteral("Save & go");
    QTest::newRow("empty") << QString() << QString();
    QTest::newRow("80 characters at most") << QString(100, 'a') << QString(80, 'a');
}

void TestMainFrame::toolTipRule()
{
    QFETCH(QString, menuText);
    QFETCH(QString, tip);
    QCOMPARE(tarn::toolTipFromMenuText(menuText), tip);
}

void TestMainFrame::startsWithColumnTwoAndTitleString0()
{
    AppFixture f;
    QCOMPARE(f.app->languageColumn, 2);
    QCOMPARE(f.app->languageNames.mid(0, 4),
             (QStringList{QStringLiteral("简体中文"), QStringLiteral("繁體中文"), QStringLiteral("English"), QString()}));
    QCOMPARE(f.frame()->languageString(147), QStringLiteral("en147"));
    QCOMPARE(f.frame()->windowTitle(), QStringLiteral("en0"));
    QVERIFY(f.frame()->isMaximized());
}

void TestMainFrame::menuBarPopupsAreRelabelledByPosition()
{
    AppFixture f;
    const int strings[8] = {91, 98, 101, 102, 103, 106, 112, 110};
    for (int position = 0; position < 8; ++position)
        QCOMPARE(f.frame()->menuBarEntry(position)->text(), QStringLiteral("en%1").arg(strings[position]));
    // Popups keep their submenus, the two command entries on the bar have none.
    QCOMPARE(f.frame()->menuBarEntry(0)->menu(), f.frame()->menuPopup(0));
    QVERIFY(f.frame()->menuBarEntry(3)->menu() == nullptr);
    QCOMPARE(f.frame()->menuBarEntry(3), f.frame()->commandAction(ID_PORT_SELECTION));
    QCOMPARE(f.frame()->menuBarEntry(6), f.frame()->commandAction(ID_LANGUAGE));
}

void TestMainFrame::commandsKeepTheirEntriesAfterRelabel()
{
    AppFixture f;
    const QList<QPair<int, int>> table = {
        {ID_FILE_NEW, 92}, {ID_FILE_CLOSE, 93}, {ID_FILE_SAVE, 94}, {ID_FILE_OPEN, 95},
        {ID_FILE_PRINT, 96}, {ID_APP_EXIT, 97}, {ID_READ_FROM_RADIO, 99}, {ID_WRITE_TO_RADIO, 100},
        {ID_CHANNEL_PAGE, 1}, {ID_OPTIONS_PAGE, 27}, {ID_KEYS_PAGE, 28}, {ID_VIEW_TOOLBAR, 104},
        {ID_VIEW_STATUS_BAR, 105}, {ID_TREE_VIEW, 120}, {ID_WINDOW_CASCADE, 107},
        {ID_WINDOW_TILE_HORZ, 108}, {ID_WINDOW_ARRANGE, 109}, {ID_APP_ABOUT, 111}, {ID_HELP_TOPICS, 132},
    };
    for (const auto& [id, string] : table) {
        QAction* action = f.frame()->commandAction(id);
        QVERIFY2(action, qPrintable(QString::number(id)));
        QCOMPARE(action->text(), QStringLiteral("en%1").arg(string));
        QCOMPARE(action->data().toInt(), id);
    }
    // Each command sits in the popup the menu gives it.
    QVERIFY(f.frame()->menuPopup(0)->actions().contains(f.frame()->commandAction(ID_FILE_SAVE)));
    QVERIFY(f.frame()->menuPopup(1)->actions().contains(f.frame()->commandAction(ID_WRITE_TO_RADIO)));
    QVERIFY(f.frame()->menuPopup(2)->actions().contains(f.frame()->commandAction(ID_KEYS_PAGE)));
    QVERIFY(f.frame()->menuPopup(4)->actions().contains(f.frame()->commandAction(ID_TREE_VIEW)));
    QVERIFY(f.frame()->menuPopup(5)->actions().contains(f.frame()->commandAction(ID_WINDOW_ARRANGE)));
    QVERIFY(f.frame()->menuPopup(7)->actions().contains(f.frame()->commandAction(ID_APP_ABOUT)));
}

void TestMainFrame::toolbarHoldsTheCommandsInOrder()
{
    AppFixture f;
    QList<int> ids;
    for (QAction* action : f.frame()->toolBar()->actions())
        ids << (action->isSeparator() ? 0 : action->data().toInt());
    QCOMPARE(ids, (QList<int>{ID_FILE_NEW, 0, ID_FILE_OPEN, ID_FILE_SAVE, ID_FILE_PRINT, ID_EDIT_UNDO, ID_EDIT_REDO, 0,
                              ID_READ_FROM_RADIO, 0, ID_PORT_SELECTION, ID_WRITE_TO_RADIO}));
    for (QAction* action : f.frame()->toolBar()->actions()) {
        if (!action->isSeparator())
            QVERIFY(!action->icon().isNull());
    }
    // The port entry of the menu bar is a text, not an icon.
    QVERIFY(f.frame()->menuBarEntry(3)->icon().isNull());
    // The port button runs the port command.
    int ports = 0;
    connect(f.frame()->commandAction(ID_PORT_SELECTION), &QAction::triggered, [&] { ++ports; });
    scripted(f.frame()).portDialog = [](PortDialog&) { return int(QDialog::Rejected); };
    f.frame()->toolBar()->actions().at(10)->trigger();
    QCOMPARE(ports, 1);
}

void TestMainFrame::toolTipsFollowTheMenuTexts()
{
    AppFixture f;
    f.frame()->setLanguageString(92, QStringLiteral("新建(&N)\tCtrl+N"));
    f.frame()->setLanguageString(102, QStringLiteral("端口选择"));
    f.app->RelabelMenus();
    QCOMPARE(f.frame()->commandAction(ID_FILE_NEW)->toolTip(), QStringLiteral("新建"));
    QHash<int, QString> tips;
    for (QAction* action : f.frame()->toolBar()->actions())
        tips.insert(action->data().toInt(), action->toolTip());
    QCOMPARE(tips.value(ID_FILE_NEW), QStringLiteral("新建"));
    QCOMPARE(tips.value(ID_PORT_SELECTION), QStringLiteral("端口选择"));
    QCOMPARE(tips.value(ID_WRITE_TO_RADIO), QStringLiteral("en100"));
    QCOMPARE(tips.value(ID_FILE_PRINT), QStringLiteral("en96"));
}

void TestMainFrame::shortcutsShownInMenusAreBound()
{
    AppFixture f;
    QCOMPARE(f.frame()->commandAction(ID_FILE_NEW)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_N));
    QCOMPARE(f.frame()->commandAction(ID_FILE_OPEN)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_O));
    QCOMPARE(f.frame()->commandAction(ID_FILE_SAVE)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_S));
    QCOMPARE(f.frame()->commandAction(ID_FILE_PRINT)->shortcut(), QKeySequence(Qt::CTRL | Qt::Key_P));

    // Ctrl+O reaches the open command.
    int asked = 0;
    scripted(f.frame()).openPath = [&] { ++asked; return QString(); };
    f.frame()->activateWindow();
    QVERIFY(QTest::qWaitForWindowActive(f.frame()));
    QTest::keyClick(f.frame(), Qt::Key_O, Qt::ControlModifier);
    QCOMPARE(asked, 1);
}

void TestMainFrame::pageCommandOpensOneFramePerPage()
{
    AppFixture f;
    CMainFrame* frame = f.frame();
    QVERIFY(!frame->channelFrame());
    frame->commandAction(ID_CHANNEL_PAGE)->trigger();
    QVERIFY(frame->channelFrame());
    CChildFrame* channel = frame->channelFrame();
    frame->commandAction(ID_KEYS_PAGE)->trigger();
    QCOMPARE(frame->mdiArea()->activeSubWindow(), frame->keysFrame());
    frame->commandAction(ID_CHANNEL_PAGE)->trigger();
    QCOMPARE(frame->channelFrame(), channel);
    QCOMPARE(f.openFrames(), 2);
    QCOMPARE(frame->mdiArea()->activeSubWindow(), channel);
    QCOMPARE(frame->windowTitle(), QStringLiteral("en0"));

    // Closing a page clears its member; the command then makes a new frame.
    channel->close();
    QCOMPARE(f.openFrames(), 1);
    QVERIFY(!frame->channelFrame());
    frame->OpenChannelPage();
    QCOMPARE(f.openFrames(), 2);
}

void TestMainFrame::pageFrameSizeAndTitle()
{
    AppFixture f;
    CMainFrame* frame = f.frame();
    const QSize outer = frame->frameGeometry().size();
    const QRect area = frame->mdiArea()->viewport()->rect();
    // The side key as the key page must show it: 7 selects entry 2.
    frame->image().functionData()[27] = 7;
    frame->OpenChannelPage();
    frame->OpenOptionsPage();
    frame->OpenKeyPage();
    const struct {
        CChildFrame* page;
        int width, height;
    } rows[] = {{frame->channelFrame(), 43, 42}, {frame->optionsFrame(), 43, 40}, {frame->keysFrame(), 40, 33}};
    for (const auto& row : rows) {
        // Its share of the main window, as far as the client area has room, all in sight.
        QCOMPARE(row.page->size(),
                 QSize(outer.width() * row.width / 50, outer.height() * row.height / 50).boundedTo(area.size()));
        QVERIFY2(area.contains(row.page->geometry()), qPrintable(row.page->windowTitle()));
    }
    QCOMPARE(frame->channelFrame()->windowTitle(), QStringLiteral("en1"));
    QCOMPARE(frame->optionsFrame()->windowTitle(), QStringLiteral("en27"));
    QCOMPARE(frame->keysFrame()->windowTitle(), QStringLiteral("en28"));
    // A new page shows the image as it is.
    QCOMPARE(static_cast<CKeySetView*>(frame->keysFrame()->page())->sideKeyList()->currentIndex(), 2);
}

void TestMainFrame::openPageByTitle()
{
    AppFixture f;
    CMainFrame* frame = f.frame();
    frame->OpenPageByTitle(QStringLiteral("en0"));
    QCOMPARE(f.openFrames(), 0);
    frame->OpenPageByTitle(QStringLiteral("EN27"));
    QCOMPARE(f.openFrames(), 0);
    frame->OpenPageByTitle(QStringLiteral("en27"));
    QVERIFY(frame->optionsFrame());
    QCOMPARE(f.openFrames(), 1);
}

void TestMainFrame::refreshLoadsOpenPagesAndShowsChannelPage()
{
    AppFixture f;
    CMainFrame* frame = f.frame();
    frame->OpenKeyPage();
    auto* keys = static_cast<CKeySetView*>(frame->keysFrame()->page());
    frame->image().functionData()[27] = 4;
    frame->RefreshPages();
    QCOMPARE(keys->sideKeyList()->currentIndex(), 4);
    QVERIFY(frame->channelFrame());
    QCOMPARE(frame->mdiArea()->activeSubWindow(), frame->channelFrame());
    QVERIFY(!frame->optionsFrame());
}

void TestMainFrame::languageSwitchReopensExactlyTheOpenPages()
{
    AppFixture f;
    CMainFrame* frame = f.frame();
    frame->OpenChannelPage();
    frame->OpenKeyPage();
    QPointer<CChildFrame> oldChannel = frame->channelFrame();
    f.app->chooseLanguage = [](const QStringList& names, int current) {
        Q_UNUSED(names);
        Q_UNUSED(current);
        return std::optional<int>(1);
    };
    frame->commandAction(ID_LANGUAGE)->trigger();
    QCOMPARE(f.app->languageColumn, 1);
    QCOMPARE(f.openFrames(), 2);
    QVERIFY(frame->channelFrame());
    QVERIFY(frame->keysFrame());
    QVERIFY(!frame->optionsFrame());
    QVERIFY(!oldChannel);
    QCOMPARE(frame->channelFrame()->windowTitle(), QStringLiteral("繁1"));
    QCOMPARE(frame->keysFrame()->windowTitle(), QStringLiteral("繁28"));
    QCOMPARE(frame->windowTitle(), QStringLiteral("繁0"));
    QCOMPARE(frame->commandAction(ID_FILE_NEW)->text(), QStringLiteral("繁92"));
    QCOMPARE(frame->menuBarEntry(0)->text(), QStringLiteral("繁91"));
    QCOMPARE(frame->commandAction(ID_FILE_SAVE)->toolTip(), QStringLiteral("繁94"));
}

void TestMainFrame::choosingTheSameLanguageReopensNothing()
{
    AppFixture f;
    CMainFrame* frame = f.frame();
    frame->OpenOptionsPage();
    QPointer<CChildFrame> options = frame->optionsFrame();
    f.app->chooseLanguage = [](const QStringList&, int current) { return std::optional<int>(current); };
    f.app->SwitchLanguage();
    QCOMPARE(frame->optionsFrame(), options.data());
    f.app->chooseLanguage = [](const QStringList&, int) { return std::optional<int>(); };
    f.app->SwitchLanguage();
    QCOMPARE(frame->optionsFrame(), options.data());
    QCOMPARE(f.app->languageColumn, 2);
}

void TestMainFrame::maximisedPageKeepsTheTitleAndTheWindowMenuListsPages()
{
    AppFixture f;
    CMainFrame* frame = f.frame();
    frame->OpenOptionsPage();
    frame->OpenChannelPage();
    frame->channelFrame()->showMaximized();
    QCoreApplication::processEvents();
    QCOMPARE(frame->windowTitle(), QStringLiteral("en0"));

    QMenu* window = frame->menuPopup(MenuWindow);
    emit window->aboutToShow();
    emit window->aboutToShow();  // listed once, however often it opens
    QStringList listed;
    for (QAction* action : window->actions())
        if (action->text().startsWith('&') && action->text().at(1).isDigit())
            listed << action->text() + (action->isChecked() ? "*" : "");
    QCOMPARE(listed, (QStringList{"&1 en27", "&2 en1*"}));
}

void TestMainFrame::emptyLanguageStringShowsTheResourceText()
{
    AppFixture f;
    f.frame()->setLanguageString(112, QString());
    f.frame()->setLanguageString(91, QString());
    f.frame()->relabelMenus();
    QCOMPARE(f.frame()->commandAction(ID_LANGUAGE)->text(), QStringLiteral("语言"));
    QCOMPARE(f.frame()->menuBarEntry(MenuFile)->text(), QStringLiteral("文件(&F)"));
}

void TestMainFrame::treeViewTogglesTheNavigationBar()
{
    AppFixture f;
    QAction* tree = f.frame()->commandAction(ID_TREE_VIEW);
    QVERIFY(tree->isChecked());
    QVERIFY(f.frame()->navBar()->isVisible());
    tree->trigger();
    QVERIFY(!f.frame()->navBar()->isVisible());
    QVERIFY(!tree->isChecked());
    tree->trigger();
    QVERIFY(f.frame()->navBar()->isVisible());
    QVERIFY(tree->isChecked());

    // The bar's own close button takes the check mark away too.
    SizingBar* bar = f.frame()->navigationBar();
    QWidget* strip = bar->titleStrip();
    QTest::mouseClick(strip, Qt::LeftButton, {}, bar->closeRect.center() - strip->mapTo(bar, QPoint(0, 0)));
    QVERIFY(!bar->isVisible());
    QVERIFY(!tree->isChecked());
    tree->trigger();
    QVERIFY(bar->isVisible());
}

void TestMainFrame::helpTopicsShowsTheHelpOfTheLanguage_data()
{
    QTest::addColumn<int>("column");
    QTest::addColumn<QString>("text");
    QTest::addColumn<QString>("title");
    QTest::newRow("English") << 2 << "English help" << "en132";
    QTest::newRow("Simplified Chinese") << 0 << "简体帮助" << "简132";
}

void TestMainFrame::helpTopicsShowsTheHelpOfTheLanguage()
{
    QFETCH(int, column);
    QFETCH(QString, text);
    QFETCH(QString, title);
    AppFixture f;
    for (const auto& [folder, body] : {std::pair{"help/0", "简体帮助"}, std::pair{"help/2", "English help"}}) {
        QVERIFY(QDir(f.dir.path()).mkpath(folder));
        QFile page(f.dir.filePath(QString(folder) + "/index.html"));
        QVERIFY(page.open(QIODevice::WriteOnly));
        page.write(QByteArray("<html><body><p>") + body + "</p></body></html>");
    }
    f.app->chooseLanguage = [column](const QStringList&, int) { return std::optional<int>(column); };
    if (column != tarn::LanguageTable::StartupColumn)
        f.frame()->commandAction(ID_LANGUAGE)->trigger();
    f.frame()->commandAction(ID_HELP_TOPICS)->trigger();
    HelpWindow* help = f.app->helpWindow();
    QVERIFY(help);
    QVERIFY(help->isVisible());
    QCOMPARE(help->windowTitle(), title);
    QCOMPARE(help->browser()->toPlainText().trimmed(), text);
}

QTEST_MAIN(TestMainFrame)
#include "tst_main_frame.moc"
