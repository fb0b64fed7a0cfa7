#include "app/FrameCommands.h"

#include <algorithm>

namespace tarn {

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
    // id, place, resource text, string, icon theme, icon file, shortcut, toolbar, flags
    {ID_FILE_NEW, MenuFile, "新建(&N)\tCtrl+N", 92, "document-new", "new.png", "Ctrl+N", 10, Locked},
    {ID_FILE_OPEN, MenuFile, "打开(&O)...\tCtrl+O", 95, "document-open", "open.png", "Ctrl+O", 20, Locked},
    {ID_FILE_CLOSE, MenuFile, "关闭(&C)", 93, nullptr, nullptr, nullptr, 0, Disabled},
    {ID_FILE_SAVE, MenuFile, "保存(&S)\tCtrl+S", 94, "document-save", "save.png", "Ctrl+S", 21, Locked},
    {ID_FILE_BACKUPS, MenuFile, "备份(&B)...", 162, nullptr, nullptr, nullptr, 0, Locked | SeparatorBefore},
    {ID_EXPORT_CHANNELS, MenuFile, "导出信道(&E)...", 163, nullptr, nullptr, nullptr, 0, Locked},
    {ID_IMPORT_CHANNELS, MenuFile, "导入信道(&I)...", 164, nullptr, nullptr, nullptr, 0, Locked},
    // Moved into the Import channels submenu by the document commands.
    {ID_IMPORT_FROM_FILE, MenuFile, "从文件(&F)...", 395, nullptr, nullptr, nullptr, 0, Locked},
    {ID_IMPORT_FROM_CONFIGURATION, MenuFile, "从配置导入信道(&M)...", 396, nullptr, nullptr, nullptr, 0, Locked},
    {ID_FILE_PRINT, MenuFile, "打印(&P)...\tCtrl+P", 96, "document-print", "print.png", "Ctrl+P", 22,
     Locked | SeparatorBefore},
    {ID_FILE_PRINT_PREVIEW, MenuFile, "打印预览(&V)", 180, "document-print-preview", nullptr, nullptr, 0, Locked},
    {ID_FILE_EXPORT_PDF, MenuFile, "导出 PDF(&D)...", 181, nullptr, nullptr, nullptr, 0, Locked},
    {ID_APP_EXIT, MenuFile, "退出(&X)", 97, nullptr, nullptr, nullptr, 0, SeparatorBefore},

    {ID_READ_FROM_RADIO, MenuProgramming, "从对讲机读取数据(&R)", 99, "go-down", "read.png", nullptr, 30, Locked},
    {ID_WRITE_TO_RADIO, MenuProgramming, "向对讲机写入数据(&W)", 100, "go-up", "write.png", nullptr, 41, Locked},
    {ID_PROGRAM_FLEET, MenuProgramming, "编程多台对讲机(&S)...", 370, nullptr, nullptr, nullptr, 0, Locked},
    {ID_VERIFY, MenuProgramming, "校验(&V)", 160, nullptr, nullptr, nullptr, 0, Locked | SeparatorBefore},
    // A setting: its check mark is read by each write when it starts.
    {ID_VERIFY_AFTER_WRITE, MenuProgramming, "写入后校验(&A)", 161, nullptr, nullptr, nullptr, 0,
     Checkable | Checked},
    {ID_READ_BEFORE_WRITE, MenuProgramming, "写入前先读取对讲机", 367, nullptr, nullptr, nullptr, 0, Checkable | Checked},

    // Enabled while there is a step to take back or to do again and no transfer runs.
    {ID_EDIT_UNDO, MenuEdit, "撤销(&U)", 260, "edit-undo", "undo.png", "Ctrl+Z", 25, Disabled},
    {ID_EDIT_REDO, MenuEdit, "重做(&R)", 261, "edit-redo", "redo.png", "Ctrl+Y; Ctrl+Shift+Z", 26, Disabled},
    {ID_CHANNEL_PAGE, MenuEdit, "信道信息", 1, nullptr, nullptr, nullptr, 0, Locked | SeparatorBefore},
    {ID_OPTIONS_PAGE, MenuEdit, "可选功能", 27, nullptr, nullptr, nullptr, 0, Locked},
    {ID_KEYS_PAGE, MenuEdit, "键设定", 28, nullptr, nullptr, nullptr, 0, Locked},
    // Whole channels on the channel page. Their keys reach them only from the channel list:
    // an open cell editor keeps its own (ChannelCommands).
    {ID_CHANNELS_CUT, MenuEdit, "剪切", 135, nullptr, nullptr, "Ctrl+X", 0, Locked | SeparatorBefore},
    {ID_CHANNELS_COPY, MenuEdit, "复制", 133, nullptr, nullptr, "Ctrl+C", 0, Locked},
    {ID_CHANNELS_PASTE, MenuEdit, "粘贴", 134, nullptr, nullptr, "Ctrl+V", 0, Locked},
    {ID_CHANNELS_CLEAR, MenuEdit, "清除信道", 289, nullptr, nullptr, "Delete", 0, Locked},
    {ID_CHANNELS_DELETE_SHIFT, MenuEdit, "删除并上移", 290, nullptr, nullptr, "Ctrl+Delete", 0, Locked},
    {ID_CHANNELS_INSERT, MenuEdit, "插入空信道", 291, nullptr, nullptr, "Insert", 0, Locked},
    {ID_CHANNELS_SELECT_ALL, MenuEdit, "全选", 305, nullptr, nullptr, "Ctrl+A", 0, Locked},
    {ID_CHANNELS_MOVE_UP, MenuEdit, "上移", 292, nullptr, nullptr, "Ctrl+Up", 0, Locked | SeparatorBefore},
    {ID_CHANNELS_MOVE_DOWN, MenuEdit, "下移", 293, nullptr, nullptr, "Ctrl+Down", 0, Locked},
    {ID_CHANNELS_SORT_FREQUENCY, MenuEdit, "按接收频率排序", 294, nullptr, nullptr, nullptr, 0, Locked},
    {ID_CHANNELS_SORT_NAME, MenuEdit, "按名称排序", 295, nullptr, nullptr, nullptr, 0, Locked},
    {ID_CHANNELS_SORT_TONE, MenuEdit, "按接收哑音排序", 296, nullptr, nullptr, nullptr, 0, Locked},
    {ID_CHANNELS_PACK, MenuEdit, "去除空位", 297, nullptr, nullptr, nullptr, 0, Locked},
    {ID_CHANNELS_EDIT_SELECTED, MenuEdit, "批量编辑所选信道...", 298, nullptr, nullptr, nullptr, 0,
     Locked | SeparatorBefore},
    {ID_CHANNELS_FILL, MenuEdit, "填充频率...", 299, nullptr, nullptr, nullptr, 0, Locked},
    {ID_CHANNELS_FIND, MenuEdit, "查找", 300, nullptr, nullptr, "Ctrl+F", 0, Locked | SeparatorBefore},
    {ID_CHANNELS_FIND_NEXT, MenuEdit, "查找下一个", 301, nullptr, nullptr, "F3", 0, Locked},
    {ID_CHANNELS_FIND_PREVIOUS, MenuEdit, "查找上一个", 302, nullptr, nullptr, "Shift+F3", 0, Locked},
    {ID_CHANNELS_GO_TO, MenuEdit, "转到信道...", 303, nullptr, nullptr, "Ctrl+G", 0, Locked},
    {ID_CHANNELS_DUPLICATES, MenuEdit, "查找重复...", 304, nullptr, nullptr, nullptr, 0, Locked},

    // On the menu bar as text, on the toolbar as an icon.
    {ID_PORT_SELECTION, BarPort, "端口选择", 102, "network-wired", "port.png", nullptr, 40, Locked},

    {ID_VIEW_TOOLBAR, MenuView, "工具栏(&T)", 104, nullptr, nullptr, nullptr, 0, Checkable | Checked},
    {ID_VIEW_STATUS_BAR, MenuView, "状态栏(&S)", 105, nullptr, nullptr, nullptr, 0, Checkable | Checked},
    {ID_TREE_VIEW, MenuView, "树视图(&R)", 120, nullptr, nullptr, nullptr, 0, Checkable | Checked},

    {ID_WINDOW_CASCADE, MenuWindow, "层叠(&C)", 107, nullptr, nullptr, nullptr, 0, 0},
    {ID_WINDOW_TILE_HORZ, MenuWindow, "平铺(&T)", 108, nullptr, nullptr, nullptr, 0, 0},
    {ID_WINDOW_ARRANGE, MenuWindow, "排列图标(&A)", 109, nullptr, nullptr, nullptr, 0, 0},

    {ID_LANGUAGE, BarLanguage, "语言", 112, nullptr, nullptr, nullptr, 0, Locked},

    {ID_HELP_TOPICS, MenuHelp, "Help topics", 132, nullptr, nullptr, nullptr, 0, 0},
    {ID_APP_ABOUT, MenuHelp, "关于 Tarn(&A)...", 111, nullptr, nullptr, nullptr, 0, SeparatorBefore},
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

}  // namespace tarn
