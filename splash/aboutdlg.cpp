#include "splash/aboutdlg.h"

#include "resources/resource.h"

#include <QCoreApplication>
#include <QMouseEvent>
#include <QPainter>

namespace {

constexpr int kWidth = 500;
constexpr int kHeight = 350;
// Where the picture leaves room for the version: under the subtitle.
const QRect kVersionRect(40, 184, 350, 24);

}  // namespace

CAboutDlg::CAboutDlg(QWidget* pParent)
    : QDialog(pParent, Qt::Tool | Qt::FramelessWindowHint), m_picture(BitmapResource(IDB_ABOUT)) {
    setObjectName(QStringLiteral("aboutBox"));
    setFixedSize(kWidth, kHeight);
    setAttribute(Qt::WA_OpaquePaintEvent);
}

void CAboutDlg::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (m_picture.isNull())
        painter.fillRect(rect(), palette().window());
    else
        painter.drawPixmap(0, 0, m_picture);
    const QString strVersion = QCoreApplication::applicationVersion();
    if (strVersion.isEmpty()) return;
    QFont font = this->font();
    font.setFamilies({QStringLiteral("Noto Serif CJK JP"), QStringLiteral("Noto Serif JP"), QStringLiteral("serif")});
    font.setPixelSize(13);
    font.setLetterSpacing(QFont::AbsoluteSpacing, 1);
    painter.setFont(font);
    painter.setPen(QColor(0x5c, 0x53, 0x4a));
    painter.drawText(kVersionRect, Qt::AlignCenter, tr("バージョン %1").arg(strVersion));
}

void CAboutDlg::mouseReleaseEvent(QMouseEvent* pEvent) {
    if (pEvent->button() == Qt::LeftButton) {
        accept();
        return;
    }
    QDialog::mouseReleaseEvent(pEvent);
}
