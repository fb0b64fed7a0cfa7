// The main window's commands as data: one row per command gives its menu entry, language
// string, icon, shortcut, toolbar place and transfer lock-out. The menus, the toolbar, the
// tool tips, the relabelling and the lock-out are all built from these rows; the part of
// the window that carries a command out registers its handler for the row's id.
#pragma once

#include <span>

namespace tarn {

// Command identifiers of the menus and the toolbar.
enum CommandId : int {
    ID_FILE_NEW = 57600,
    ID_FILE_OPEN = 57601,
    ID_FILE_CLOSE = 57602,
    ID_FILE_SAVE = 57603,
    ID_FILE_PRINT = 57607,
    ID_FILE_PRINT_PREVIEW = 57609,
    ID_FILE_EXPORT_PDF = 32800,
    ID_APP_EXIT = 57665,
    ID_APP_ABOUT = 57664,
    ID_VIEW_TOOLBAR = 59392,
    ID_VIEW_STATUS_BAR = 59393,
    ID_WINDOW_ARRANGE = 57649,
    ID_WINDOW_CASCADE = 57650,
    ID_WINDOW_TILE_HORZ = 57651,
    ID_CHANNEL_PAGE = 32771,
    ID_READ_FROM_RADIO = 32773,
    ID_WRITE_TO_RADIO = 32774,
    ID_PORT_SELECTION = 32775,
    ID_OPTIONS_PAGE = 32776,
    ID_KEYS_PAGE = 32778,
    ID_LANGUAGE = 32779,
    ID_TREE_VIEW = 32781,
    ID_HELP_TOPICS = 32785,
    // Verify, backups and channel exchange.
    ID_VERIFY = 32860,
    ID_VERIFY_AFTER_WRITE = 32861,
    ID_FILE_BACKUPS = 32862,
    ID_EXPORT_CHANNELS = 32863,
    ID_IMPORT_CHANNELS = 32864,
    // A write reads the radio first, shows what changes and sends only that.
    ID_READ_BEFORE_WRITE = 32900,
    // Programming several radios at once or one after another.
    ID_PROGRAM_FLEET = 32910,
    // Channels from anywhere: the Import channels submenu's first entry (the stock sets
    // follow it, from their files) and the merge from another configuration.
    ID_IMPORT_FROM_FILE = 32920,
    ID_IMPORT_FROM_CONFIGURATION = 32921,
    // The configuration's history.
    ID_EDIT_UNDO = 57643,
    ID_EDIT_REDO = 57644,
    // Whole channels on the channel page (ChannelCommands).
    ID_CHANNELS_CUT = 32870,
    ID_CHANNELS_COPY = 32871,
    ID_CHANNELS_PASTE = 32872,
    ID_CHANNELS_CLEAR = 32873,
    ID_CHANNELS_DELETE_SHIFT = 32874,
    ID_CHANNELS_INSERT = 32875,
    ID_CHANNELS_SELECT_ALL = 32876,
    ID_CHANNELS_MOVE_UP = 32877,
    ID_CHANNELS_MOVE_DOWN = 32878,
    ID_CHANNELS_SORT_FREQUENCY = 32879,
    ID_CHANNELS_SORT_NAME = 32880,
    ID_CHANNELS_SORT_TONE = 32881,
    ID_CHANNELS_PACK = 32882,
    ID_CHANNELS_EDIT_SELECTED = 32883,
    ID_CHANNELS_FILL = 32884,
    ID_CHANNELS_FIND = 32885,
    ID_CHANNELS_FIND_NEXT = 32886,
    ID_CHANNELS_FIND_PREVIOUS = 32887,
    ID_CHANNELS_GO_TO = 32888,
    ID_CHANNELS_DUPLICATES = 32889,
};

// Positions on the menu bar. A position without a popup holds a command of its own.
enum MenuPlace : int {
    MenuFile = 0,
    MenuProgramming = 1,
    MenuEdit = 2,
    BarPort = 3,
    MenuView = 4,
    MenuWindow = 5,
    BarLanguage = 6,
    MenuHelp = 7,
};

enum CommandFlag : unsigned {
    // Disabled from the Read or Write command until its result has been shown: the worker
    // owns the image (opening a page reads it too).
    LockedInTransfer = 1u << 0,
    Checkable = 1u << 1,
    Checked = 1u << 2,
    Disabled = 1u << 3,
    // A separator in the popup before this entry.
    SeparatorBefore = 1u << 4,
};

struct MenuPopup {
    int place;                 // MenuPlace
    const char* resourceText;  // the menu resource's text, shown until relabelled
    int languageString;
};

struct FrameCommand {
    int id;
    int place;                 // MenuPlace of its popup, or its own place on the bar
    const char* resourceText;  // the menu resource's text, shown until relabelled
    int languageString;
    // Freedesktop theme name and the bundled fallback under :/icons/; null for no icon.
    const char* iconTheme;
    const char* iconFile;
    // Portable key texts ("Ctrl+N"; several separated by "; "); null for none.
    const char* shortcut;
    // 0: not on the toolbar. Buttons go in ascending order; where the tens change, a
    // separator comes between.
    int toolbarPlace;
    unsigned flags;            // CommandFlag
};

// The popups on the menu bar, and every command in menu order within its popup.
std::span<const MenuPopup> menuPopups();
std::span<const FrameCommand> frameCommands();
const FrameCommand* findCommand(int id);

}  // namespace tarn
