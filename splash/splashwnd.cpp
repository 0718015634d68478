#include "splash/splashwnd.h"

#include "resources/resource.h"

#include <QCoreApplication>
#include <QGuiApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>
#include <QWindow>

#include <algorithm>
#include <cmath>

bool CSplashWnd::s_bEnabled = true;
int CSplashWnd::s_nTimeout = CSplashWnd::DefaultTimeout;
CSplashWnd* CSplashWnd::s_pCurrent = nullptr;
Qt::KeyboardModifier CSplashWnd::s_heldModifier = Qt::NoModifier;

namespace {

// The picture is laid out on a stage of 1280 x 800 design units, scaled to
// fit the screen and centred; the paper fills the rest.
constexpr double kStageWidth = 1280;
constexpr double kStageHeight = 800;
constexpr int kFrameInterval = 30;  // milliseconds between animation frames
constexpr int kShowWait = 500;      // longest wait for the screen to show the splash

// Where each layer lies on the stage, and when it appears (seconds from the
// first frame). The hills stand on the foot of the screen whatever its
// shape.
struct LayerPlace {
    const char* pszName;
    double x, y;  // top left corner, design units; y < 0: on the foot of the screen
    double start, length;
};

const LayerPlace kPlaces[] = {
    {"hills", 0, -1, 0.0, 1.6},
    {"verse", 1060, 110, 0.5, 2.0},
    {"title", 360, 250, 1.6, 0.8},
    {"seal", 862, 262, 2.5, 0.4},
    {"hint", 380, 470, 3.1, 0.7},
};

constexpr double kAnimationEnd = 3.8;

double Progress(double t, const LayerPlace& place) {
    return std::clamp((t - place.start) / place.length, 0.0, 1.0);
}

double EaseOut(double p) { return 1 - (1 - p) * (1 - p) * (1 - p); }

// The modifier that a modifier key sets; NoModifier for other keys.
Qt::KeyboardModifier ModifierOfKey(int nKey) {
    switch (nKey) {
    case Qt::Key_Control: return Qt::ControlModifier;
    case Qt::Key_Shift: return Qt::ShiftModifier;
    case Qt::Key_Alt: return Qt::AltModifier;
    case Qt::Key_Meta: return Qt::MetaModifier;
    default: return Qt::NoModifier;
    }
}

bool IsDismissingButton(const QEvent* pEvent) {
    const Qt::MouseButton button = static_cast<const QMouseEvent*>(pEvent)->button();
    return button == Qt::LeftButton || button == Qt::RightButton || button == Qt::MiddleButton;
}

}  // namespace

void CSplashWnd::SetSplashEnabled(bool bEnabled) { s_bEnabled = bEnabled; }

bool CSplashWnd::IsSplashEnabled() { return s_bEnabled; }

void CSplashWnd::SetTimeout(int nMilliseconds) { s_nTimeout = nMilliseconds; }

CSplashWnd* CSplashWnd::Current() { return s_pCurrent; }

void CSplashWnd::OpenSplash(QWidget* pOwner) {
    if (!s_bEnabled || s_pCurrent) return;
    auto* pSplash = new CSplashWnd(pOwner);
    s_pCurrent = pSplash;
    if (!pSplash->Create()) {
        // No screen to cover: start-up goes on without a splash.
        s_pCurrent = nullptr;
        delete pSplash;
        return;
    }
    // Paint it now: the main window is made next, without an event loop.
    QElapsedTimer waited;
    waited.start();
    while (!(pSplash->windowHandle() && pSplash->windowHandle()->isExposed()) && waited.elapsed() < kShowWait)
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents, 20);
    pSplash->repaint();
}

void CSplashWnd::SetOwner(QWidget* pOwner) {
    CSplashWnd* pSplash = s_pCurrent;
    if (!pSplash || !pOwner) return;
    pSplash->m_pOwner = pOwner;
    // Window managers keep a window above the one it is transient for.
    if (QWindow* pWindow = pSplash->windowHandle(); pWindow && pOwner->windowHandle())
        pWindow->setTransientParent(pOwner->windowHandle());
    pSplash->raise();
    pSplash->activateWindow();
}

bool CSplashWnd::FilterSplashInput(QEvent* pEvent) {
    const QEvent::Type type = pEvent->type();
    const bool bKey = type == QEvent::ShortcutOverride || type == QEvent::KeyPress || type == QEvent::KeyRelease;
    if (s_heldModifier != Qt::NoModifier && bKey) {
        // The keys pressed together with the modifier that closed the
        // splash (the C of Ctrl+C) do nothing either.
        const auto* pKey = static_cast<QKeyEvent*>(pEvent);
        if (!(pKey->modifiers() & s_heldModifier) ||
            (type == QEvent::KeyRelease && ModifierOfKey(pKey->key()) == s_heldModifier)) {
            s_heldModifier = Qt::NoModifier;  // let go
        } else if (type != QEvent::KeyRelease) {
            pEvent->accept();
            return true;
        }
    }
    if (!s_pCurrent) return false;
    switch (type) {
    case QEvent::ShortcutOverride:
        // Claim the key so that no shortcut runs; its press follows.
        pEvent->accept();
        return true;
    case QEvent::KeyPress:
        s_heldModifier = ModifierOfKey(static_cast<QKeyEvent*>(pEvent)->key());
        break;
    case QEvent::MouseButtonPress:
    case QEvent::MouseButtonDblClick:
    case QEvent::NonClientAreaMouseButtonPress:
    case QEvent::NonClientAreaMouseButtonDblClick:
        if (!IsDismissingButton(pEvent)) return false;
        break;
    default:
        return false;
    }
    CloseSplash();
    return true;
}

void CSplashWnd::CloseSplash() {
    CSplashWnd* pSplash = s_pCurrent;
    if (!pSplash) return;
    s_pCurrent = nullptr;
    pSplash->m_timeout.stop();
    pSplash->m_frames.stop();
    pSplash->hide();
    // The event that closed the splash may still be on its way to it.
    pSplash->deleteLater();
    if (QWidget* pOwner = pSplash->m_pOwner) pOwner->window()->repaint();
}

CSplashWnd::CSplashWnd(QWidget* pOwner)
    : QWidget(nullptr, Qt::Window | Qt::FramelessWindowHint), m_pOwner(pOwner) {
    setObjectName(QStringLiteral("splash"));
    setAttribute(Qt::WA_OpaquePaintEvent);
    setCursor(Qt::ArrowCursor);
    m_timeout.setSingleShot(true);
    connect(&m_timeout, &QTimer::timeout, this, &CSplashWnd::CloseSplash);
    m_frames.setInterval(kFrameInterval);
    connect(&m_frames, &QTimer::timeout, this, &CSplashWnd::OnFrame);
}

CSplashWnd::~CSplashWnd() {
    if (s_pCurrent == this) s_pCurrent = nullptr;
}

bool CSplashWnd::Create() {
    const QScreen* pScreen = QGuiApplication::primaryScreen();
    if (!pScreen) return false;
    m_screenRect = pScreen->geometry();
    setGeometry(m_screenRect);
    if (m_pOwner) {
        winId();
        if (m_pOwner->windowHandle()) windowHandle()->setTransientParent(m_pOwner->windowHandle());
    }
    showFullScreen();
    m_timeout.start(s_nTimeout);
    // The first frame comes once the event loop runs, which is after the
    // main window has been made: the animation starts from there.
    m_frames.start();
    return true;
}

void CSplashWnd::resizeEvent(QResizeEvent* pEvent) {
    PrepareLayers();
    QWidget::resizeEvent(pEvent);
}

void CSplashWnd::PrepareLayers() {
    const QSize size = this->size();
    m_dScale = std::min(size.width() / kStageWidth, size.height() / kStageHeight);
    const QPointF origin((size.width() - kStageWidth * m_dScale) / 2, (size.height() - kStageHeight * m_dScale) / 2);

    m_background = QPixmap(size);
    m_background.fill(QColor(0xf5, 0xee, 0xdd));
    {
        QPainter painter(&m_background);
        const QPixmap paper(SplashResource("paper"));
        if (!paper.isNull()) painter.drawTiledPixmap(m_background.rect(), paper);
    }

    m_layers.clear();
    for (const LayerPlace& place : kPlaces) {
        Layer layer;
        const QPixmap picture(SplashResource(place.pszName));
        if (!picture.isNull())
            layer.pixmap = picture.scaled(std::max(1, qRound(picture.width() * m_dScale)),
                                          std::max(1, qRound(picture.height() * m_dScale)), Qt::IgnoreAspectRatio,
                                          Qt::SmoothTransformation);
        layer.at = origin + QPointF(place.x, place.y) * m_dScale;
        if (place.y < 0) layer.at.setY(size.height() - layer.pixmap.height());
        m_layers.push_back(layer);
    }
}

void CSplashWnd::OnFrame() {
    if (!m_clock.isValid()) m_clock.start();
    if (m_clock.elapsed() / 1000.0 >= kAnimationEnd) {
        m_frames.stop();
        m_bDone = true;
    }
    update();
}

void CSplashWnd::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.drawPixmap(0, 0, m_background);
    if (m_layers.size() != LayerCount) return;
    const double t = m_bDone ? kAnimationEnd : (m_clock.isValid() ? m_clock.elapsed() / 1000.0 : 0.0);
    painter.setRenderHint(QPainter::SmoothPixmapTransform);

    // Hills: fade in while rising a little.
    const Layer& hills = m_layers[Hills];
    const double hillsIn = EaseOut(Progress(t, kPlaces[Hills]));
    if (hillsIn > 0) {
        painter.setOpacity(hillsIn);
        painter.drawPixmap(hills.at + QPointF(0, (1 - hillsIn) * 24 * m_dScale), hills.pixmap);
    }

    // The verse is written from the top down, with a soft lower edge.
    const Layer& verse = m_layers[Verse];
    const double written = Progress(t, kPlaces[Verse]);
    if (written > 0) {
        // Masked by a gradient that runs down the column.
        const double h = verse.pixmap.height(), edge = 40 * m_dScale;
        const double front = written * (h + edge);
        QImage column(verse.pixmap.size(), QImage::Format_ARGB32_Premultiplied);
        column.fill(Qt::transparent);
        QPainter mask(&column);
        mask.drawPixmap(0, 0, verse.pixmap);
        mask.setCompositionMode(QPainter::CompositionMode_DestinationIn);
        QLinearGradient reveal(0, front - edge, 0, front);
        reveal.setColorAt(0, Qt::black);
        reveal.setColorAt(1, Qt::transparent);
        mask.fillRect(column.rect(), reveal);
        mask.end();
        painter.setOpacity(1);
        painter.drawImage(verse.at, column);
    }

    // The title and the hint fade in, rising.
    for (const LayerIndex index : {Title, Hint}) {
        const double in = EaseOut(Progress(t, kPlaces[index]));
        if (in <= 0) continue;
        painter.setOpacity(in);
        painter.drawPixmap(m_layers[index].at + QPointF(0, (1 - in) * 10 * m_dScale), m_layers[index].pixmap);
    }

    // The seal is stamped: it comes down from a larger size.
    const Layer& seal = m_layers[Seal];
    const double stamped = Progress(t, kPlaces[Seal]);
    if (stamped > 0) {
        const double scale = 1 + 0.5 * (1 - EaseOut(stamped));
        const QPointF centre = seal.at + QPointF(seal.pixmap.width(), seal.pixmap.height()) / 2;
        painter.save();
        painter.setOpacity(std::min(1.0, stamped * 1.5));
        painter.translate(centre);
        painter.scale(scale, scale);
        painter.drawPixmap(QPointF(-seal.pixmap.width() / 2.0, -seal.pixmap.height() / 2.0), seal.pixmap);
        painter.restore();
    }
}
