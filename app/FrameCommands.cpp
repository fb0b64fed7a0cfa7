#include "app/FrameCommands.h"

#include "app/MainFrame.h"

#include <algorithm>

namespace {

constexpr MenuPopup popups[] = {
    {MenuFile, "文件(&F)", 91},
    {MenuProgramming, "编程", 98},
    {MenuEdit, "编辑(&E)", 101},
    {MenuView, "查看(&V)", 103},
    {MenuWindow, "窗口(&W)", 106},
    {MenuHelp, "帮助(&H)", 110},
};

constexpr unsigned Locked = LockedInTransfer;

// Every shortcut a menu text shows works. Pages are closed with their own window buttons.
constexpr FrameCommand commands[] = {
    // id, place, resource text, string, icon theme, icon file, shortcut, toolbar, flags, handler
    {ID_FILE_NEW, MenuFile, "新建(&N)\tCtrl+N", 92, "document-new", "new.png", "Ctrl+N", 10, Locked,
     &CMainFrame::onFileNew},
    {ID_FILE_OPEN, MenuFile, "打开(&O)...\tCtrl+O", 95, "document-open", "open.png", "Ctrl+O", 20, Locked,
     &CMainFrame::onFileOpen},
    {ID_FILE_CLOSE, MenuFile, "关闭(&C)", 93, nullptr, nullptr, nullptr, 0, Disabled, nullptr},
    {ID_FILE_SAVE, MenuFile, "保存(&S)\tCtrl+S", 94, "document-save", "save.png", "Ctrl+S", 21, Locked,
     &CMainFrame::onFileSave},
    {ID_FILE_PRINT, MenuFile, "打印(&P)...\tCtrl+P", 96, "document-print", "print.png", "Ctrl+P", 22,
     Locked | SeparatorBefore, &CMainFrame::onFilePrint},
    {ID_APP_EXIT, MenuFile, "退出(&X)", 97, nullptr, nullptr, nullptr, 0, SeparatorBefore,
     &CMainFrame::onAppExit},

    {ID_READ_FROM_RADIO, MenuProgramming, "从对讲机读取数据(&R)", 99, "go-down", "read.png", nullptr, 30, Locked,
     &CMainFrame::onReadFromRadio},
    {ID_WRITE_TO_RADIO, MenuProgramming, "向对讲机写入数据(&W)", 100, "go-up", "write.png", nullptr, 41, Locked,
     &CMainFrame::onWriteToRadio},

    {ID_CHANNEL_PAGE, MenuEdit, "信道信息", 1, nullptr, nullptr, nullptr, 0, Locked, &CMainFrame::OpenChannelPage},
    {ID_OPTIONS_PAGE, MenuEdit, "可选功能", 27, nullptr, nullptr, nullptr, 0, Locked, &CMainFrame::OpenOptionsPage},
    {ID_KEYS_PAGE, MenuEdit, "键设定", 28, nullptr, nullptr, nullptr, 0, Locked, &CMainFrame::OpenKeyPage},

    // On the menu bar as text, on the toolbar as an icon.
    {ID_PORT_SELECTION, BarPort, "端口选择", 102, "network-wired", "port.png", nullptr, 40, Locked,
     &CMainFrame::onPortSelection},

    {ID_VIEW_TOOLBAR, MenuView, "工具栏(&T)", 104, nullptr, nullptr, nullptr, 0, Checkable | Checked,
     &CMainFrame::onViewToolBar},
    {ID_VIEW_STATUS_BAR, MenuView, "状态栏(&S)", 105, nullptr, nullptr, nullptr, 0, Checkable | Checked,
     &CMainFrame::onViewStatusBar},
    {ID_TREE_VIEW, MenuView, "树视图(&R)", 120, nullptr, nullptr, nullptr, 0, Checkable | Checked,
     &CMainFrame::onTreeView},

    {ID_WINDOW_CASCADE, MenuWindow, "层叠(&C)", 107, nullptr, nullptr, nullptr, 0, 0, &CMainFrame::onWindowCascade},
    {ID_WINDOW_TILE_HORZ, MenuWindow, "平铺(&T)", 108, nullptr, nullptr, nullptr, 0, 0, &CMainFrame::onWindowTile},
    {ID_WINDOW_ARRANGE, MenuWindow, "排列图标(&A)", 109, nullptr, nullptr, nullptr, 0, 0, &CMainFrame::arrangeIcons},

    {ID_LANGUAGE, BarLanguage, "语言", 112, nullptr, nullptr, nullptr, 0, Locked, nullptr},

    {ID_HELP_TOPICS, MenuHelp, "Help topics", 132, nullptr, nullptr, nullptr, 0, 0, nullptr},
    {ID_APP_ABOUT, MenuHelp, "关于 Tarn(&A)...", 111, nullptr, nullptr, nullptr, 0, SeparatorBefore, nullptr},
};

}  // namespace

std::span<const MenuPopup> menuPopups()
{
    return popups;
}

std::span<const FrameCommand> frameCommands()
{
    return commands;
}

const FrameCommand* findCommand(int id)
{
    const auto row = std::find_if(std::begin(commands), std::end(commands),
                                  [id](const FrameCommand& c) { return c.id == id; });
    return row == std::end(commands) ? nullptr : row;
}
