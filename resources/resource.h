#pragma once

#include <QString>

// Command and resource numbers of the desktop reader. Commands keep their
// numbers so that menus, accelerators, the toolbar and the enabling pass
// all name a command the same way.
enum CommandId {
    ID_POPUP_COPY = 32771,
    ID_POPUP_SELECT_ALL = 32772,
    ID_VIEW_FULL = 32774,
    ID_PRINT_SETUP = 32776,
    ID_PRINT = 32777,
    ID_SELECT_ALL = 32778,
    ID_PREV_PAGE = 32780,
    ID_NEXT_PAGE = 32781,
    ID_NEXT_VOLUME = 32790,
    ID_PREV_VOLUME = 32791,
    ID_HELP_FILE = 32798,
    ID_PREV_HIT = 32805,
    ID_NEXT_HIT = 32806,
    ID_FILE_PRINT = 57607,
    ID_EDIT_COPY = 57634,
    ID_APP_ABOUT = 57664,
    ID_APP_EXIT = 57665,
    ID_VIEW_TOOLBAR = 59392,
    ID_VIEW_STATUS_BAR = 59393,
};

// Pictures, stored as PNG files under resources/ and compiled in.
enum BitmapId {
    IDR_MAINFRAME = 128,   // large window icon
    IDI_SMALL = 143,       // small window icon
    IDB_BOOK_OPEN = 159,   // contents tree, selected item (20 x 20, black transparent)
    IDB_BOOK_CLOSED = 160, // contents tree, item (20 x 20, black transparent)
    IDB_LIST_PREV = 184,   // "<" strip: 4 images of 32 x 32
    IDB_LIST_NEXT = 185,   // ">" strip
};

inline QString BitmapResource(int nId) { return QStringLiteral(":/bitmaps/%1.png").arg(nId); }
inline QString IconResource(int nId) { return QStringLiteral(":/icons/%1.png").arg(nId); }
