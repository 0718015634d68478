#include "frame/windowplacement.h"

#include <QGuiApplication>
#include <QRegularExpression>
#include <QScreen>
#include <QSettings>
#include <QWidget>

#include <algorithm>
#include <cstdlib>

const char* const CWindowPlacement::Section = "MainFrame";
const char* const CWindowPlacement::Entry = "Placement";

namespace {

QString SettingsKey() {
    return QString::fromLatin1(CWindowPlacement::Section) + QLatin1Char('/') +
           QString::fromLatin1(CWindowPlacement::Entry);
}

}  // namespace

CWindowPlacement CWindowPlacement::Default(const QRect& rectArea) {
    const int nWidth = rectArea.width() * 9 / 10;
    const int nHeight = rectArea.height() * 9 / 10;
    return CWindowPlacement(QRect(rectArea.x() + (rectArea.width() - nWidth) / 2,
                                  rectArea.y() + (rectArea.height() - nHeight) / 2, nWidth, nHeight),
                            true);
}

bool CWindowPlacement::Parse(const QString& strValue, CWindowPlacement& placement) {
    // Six digits at most, so that the numbers convert without overflow and
    // the bounds below decide; anchored at the very end (a "$" would let a
    // final line break through).
    static const QRegularExpression kValue(QRegularExpression::anchoredPattern(
        QStringLiteral("(-?[0-9]{1,6}) (-?[0-9]{1,6}) ([0-9]{1,6}) ([0-9]{1,6}) ([01])")));
    const QRegularExpressionMatch match = kValue.match(strValue);
    if (!match.hasMatch()) return false;
    const int nLeft = match.captured(1).toInt();
    const int nTop = match.captured(2).toInt();
    const int nWidth = match.captured(3).toInt();
    const int nHeight = match.captured(4).toInt();
    if (std::abs(nLeft) > MaxCoordinate || std::abs(nTop) > MaxCoordinate) return false;
    if (nWidth < MinSize || nHeight < MinSize || nWidth > MaxCoordinate || nHeight > MaxCoordinate) return false;
    placement = CWindowPlacement(QRect(nLeft, nTop, nWidth, nHeight), match.captured(5) == QLatin1String("1"));
    return true;
}

QString CWindowPlacement::Value() const {
    return QStringLiteral("%1 %2 %3 %4 %5")
        .arg(m_rectNormal.left())
        .arg(m_rectNormal.top())
        .arg(m_rectNormal.width())
        .arg(m_rectNormal.height())
        .arg(m_bMaximized ? 1 : 0);
}

bool CWindowPlacement::FitTo(const QList<QRect>& areas) {
    const QRect* pBest = nullptr;
    qint64 nBestOverlap = 0;
    for (const QRect& area : areas) {
        const QRect overlap = area.intersected(m_rectNormal);
        const qint64 nOverlap = static_cast<qint64>(overlap.width()) * overlap.height();
        if (!overlap.isEmpty() && nOverlap > nBestOverlap) {
            pBest = &area;
            nBestOverlap = nOverlap;
        }
    }
    if (!pBest) return false;
    const int nWidth = std::min(m_rectNormal.width(), pBest->width());
    const int nHeight = std::min(m_rectNormal.height(), pBest->height());
    const int nLeft = std::clamp(m_rectNormal.left(), pBest->left(), pBest->left() + pBest->width() - nWidth);
    const int nTop = std::clamp(m_rectNormal.top(), pBest->top(), pBest->top() + pBest->height() - nHeight);
    m_rectNormal = QRect(nLeft, nTop, nWidth, nHeight);
    return true;
}

CWindowPlacement CWindowPlacement::Load() {
    QList<QRect> areas;
    for (const QScreen* pScreen : QGuiApplication::screens()) areas << pScreen->availableGeometry();
    // A value of another type (bytes, a list) reads as text that does not
    // parse, or as nothing.
    CWindowPlacement placement;
    if (Parse(QSettings().value(SettingsKey()).toString(), placement) && placement.FitTo(areas)) return placement;
    const QScreen* pPrimary = QGuiApplication::primaryScreen();
    return pPrimary ? Default(pPrimary->availableGeometry()) : CWindowPlacement();
}

void CWindowPlacement::Show(QWidget& window) {
    const CWindowPlacement placement = Load();
    if (placement.NormalRect().isValid()) window.setGeometry(placement.NormalRect());
    if (placement.IsMaximized())
        window.showMaximized();
    else
        window.showNormal();
}

void CWindowPlacement::Save(const QWidget& window) {
    QRect rectNormal = window.normalGeometry();
    if (!rectNormal.isValid()) rectNormal = window.geometry();
    const CWindowPlacement placement(rectNormal, window.windowState() & Qt::WindowMaximized);
    QSettings().setValue(SettingsKey(), placement.Value());
}
