#pragma once

#include <QElapsedTimer>
#include <QPixmap>
#include <QPointer>
#include <QTimer>
#include <QWidget>

#include <vector>

class QEvent;

// The full-screen splash shown while the main window is made: ink-wash
// hills rise out of the paper, a line of classical text is written top to
// bottom, the name of the reader appears and a seal is stamped beside it.
//
// At most one splash exists (Current()). It goes away at the first key or
// mouse press anywhere in the application, which does nothing else, or
// after the timeout (50 seconds), and the main window is then repainted.
// The splash deletes itself; the owner is not owned.
class CSplashWnd : public QWidget {
    Q_OBJECT

public:
    static constexpr int DefaultTimeout = 50000;  // milliseconds

    // Set at start-up from the command line (--no-splash clears it).
    static void SetSplashEnabled(bool bEnabled);
    static bool IsSplashEnabled();
    // The timeout of splashes opened from now on; tests shorten it.
    static void SetTimeout(int nMilliseconds);

    // Creates and shows the splash if splashes are enabled and none exists.
    // pOwner may be null while the main window does not exist yet.
    static void OpenSplash(QWidget* pOwner);
    // Makes pOwner (the main window, once shown) the owner of the splash
    // and brings the splash in front of it again.
    static void SetOwner(QWidget* pOwner);
    // Offered every event of the application before anything else: true
    // when the event is a key press or a press of the left, right or middle
    // mouse button (in a client area or not) while a splash is up. The
    // splash is then closed and the event must be dropped. A shortcut check
    // for a key (ShortcutOverride) is taken as well, so that the press does
    // not trigger a shortcut before it arrives here. When a modifier key
    // closed the splash, the keys pressed while it is held are dropped too:
    // Ctrl+C pressed while the splash is up does not copy.
    static bool FilterSplashInput(QEvent* pEvent);
    // Ends the splash (if any) and repaints its owner at once.
    static void CloseSplash();
    // The splash in existence, or null.
    static CSplashWnd* Current();

    // The interval of the running timeout, in milliseconds.
    int Timeout() const { return m_timeout.interval(); }
    // True once the animation has played to its end.
    bool IsAnimationDone() const { return m_bDone; }

protected:
    void paintEvent(QPaintEvent* pEvent) override;
    void resizeEvent(QResizeEvent* pEvent) override;

private:
    explicit CSplashWnd(QWidget* pOwner);
    ~CSplashWnd() override;
    bool Create();
    void OnFrame();
    void PrepareLayers();

    struct Layer {
        QPixmap pixmap;  // scaled to the screen
        QPointF at;      // top left corner on the screen
    };
    enum LayerIndex { Hills, Verse, Title, Seal, Hint, LayerCount };

    static bool s_bEnabled;
    static int s_nTimeout;
    static CSplashWnd* s_pCurrent;
    static Qt::KeyboardModifier s_heldModifier;  // closed the splash and still held

    QPointer<QWidget> m_pOwner;
    QRect m_screenRect;          // the screen, taken when the splash is created
    QTimer m_timeout;            // closes the splash
    QTimer m_frames;             // drives the animation
    QElapsedTimer m_clock;       // animation time; starts at the first frame
    bool m_bDone = false;
    double m_dScale = 1.0;       // design units to pixels
    QPixmap m_background;        // paper over the whole screen
    std::vector<Layer> m_layers;
};
