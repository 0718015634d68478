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
    ID_EDIT_COPY_CITED = 32810,
    ID_GO_TO_CITATION = 32811,
    ID_VIEW_CONCORDANCE = 32812,
    ID_ADD_BOOKMARK = 32813,
    ID_VIEW_BOOKMARKS = 32814,
    ID_VIEW_HISTORY = 32815,
    ID_VIEW_DISTRIBUTION = 32820,
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
    IDB_ABOUT = 168,       // the About box's picture (500 x 350)
    IDB_TOOLBAR_BACKDROP = 171,  // page toolbar, slider and page box background (600 x 47)
    IDB_TOOLBAR_NORMAL = 172,    // toolbar buttons: 10 images of 40 x 40 in a row, magenta transparent
    IDB_TOOLBAR_DISABLED = 173,  // the same, disabled
    IDB_TOOLBAR_HOT = 174,       // the same, under the mouse
    IDB_LIST_PREV = 184,   // "<" strip: 4 images of 32 x 32
    IDB_LIST_NEXT = 185,   // ">" strip
};

// Cursors, stored as PNG files under resources/cursors/.
enum CursorId {
    IDC_SLIDER = 149,  // shown while the page slider is used
};

// The toolbar's own controls.
enum ToolBarControlId {
    ID_SLIDER_SLOT = 32787,    // toolbar item that becomes the slider's place
    ID_PAGE_BOX_SLOT = 32788,  // toolbar item that becomes the page box's place
    IDC_PAGE_SLIDER = 101,
    IDC_PAGE_BOX = 102,
};

inline QString BitmapResource(int nId) { return QStringLiteral(":/bitmaps/%1.png").arg(nId); }
inline QString IconResource(int nId) { return QStringLiteral(":/icons/%1.png").arg(nId); }
inline QString CursorResource(int nId) { return QStringLiteral(":/cursors/%1.png").arg(nId); }
// The layers of the splash animation: "paper", "hills", "verse", "title",
// "seal", "hint".
inline QString SplashResource(const char* pszLayer) {
    return QStringLiteral(":/splash/%1.png").arg(QLatin1String(pszLayer));
}
