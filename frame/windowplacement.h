#pragma once

#include <QList>
#include <QRect>
#include <QString>

class QWidget;

// Where the main window stands on the screen, kept in the user's settings
// beside the pane layout of the splitter (ST_SplitterWnd):
//   section "MainFrame", entry "Placement",
//   value "%d %d %d %d %d": left, top, width and height of the window when it
//   is not maximised, then 1 when it is maximised, else 0
//   ("64 51 1152 922 1": maximised, and 1152 x 922 at 64, 51 once restored).
// Show places the window where it was at the last exit and Save writes the
// entry. On a first start, and for an entry that cannot be used (not five
// numbers, a size out of bounds, a place on no screen), the window is
// maximised over 90% of the screen's available area, centred: without a
// window manager that maximises, it still covers most of the screen.
//
// REQUIRES: a QGuiApplication for Show, Save and Load.
class CWindowPlacement {
public:
    static const char* const Section;  // "MainFrame"
    static const char* const Entry;    // "Placement"
    static constexpr int MinSize = 100;
    static constexpr int MaxCoordinate = 32767;  // X11's bound on positions and sizes

    CWindowPlacement() = default;
    CWindowPlacement(const QRect& rectNormal, bool bMaximized) : m_rectNormal(rectNormal), m_bMaximized(bMaximized) {}

    // The default on a screen whose available area is rectArea: 90% of it,
    // centred, maximised.
    static CWindowPlacement Default(const QRect& rectArea);
    // The placement an entry's value records. False for anything but five
    // decimal numbers separated by single spaces, a width or height below
    // MinSize, a coordinate beyond MaxCoordinate or a last number other than
    // 0 and 1.
    static bool Parse(const QString& strValue, CWindowPlacement& placement /* OUT */);
    // The entry's value.
    QString Value() const;

    // Brings the normal rectangle onto the screen area it overlaps most
    // (shrunk to it where larger, moved into it where it sticks out). False,
    // and unchanged, when it overlaps none of areas.
    bool FitTo(const QList<QRect>& areas);

    const QRect& NormalRect() const { return m_rectNormal; }
    bool IsMaximized() const { return m_bMaximized; }

    // Places window where the settings entry says (fitted to the available
    // areas of the screens), else at the default on the primary screen, and
    // shows it.
    static void Show(QWidget& window);
    // Writes the entry for window's state now.
    static void Save(const QWidget& window);
    // The entry as read from the settings, fitted to the screens; the
    // default where it is missing or cannot be used.
    static CWindowPlacement Load();

private:
    QRect m_rectNormal;
    bool m_bMaximized = true;
};
