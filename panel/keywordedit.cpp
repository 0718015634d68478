#include "panel/keywordedit.h"

#include <QKeyEvent>

CKeywordEdit::CKeywordEdit(QWidget* pParent) : QLineEdit(pParent) {
    QFont font = this->font();
    font.setFamilies(FontFamilies());
    font.setPixelSize(14);
    setFont(font);
    QPalette palette = this->palette();
    palette.setColor(QPalette::Text, QColor(0x66, 0x66, 0x66));
    setPalette(palette);
}

QStringList CKeywordEdit::FontFamilies() {
    // Serif faces first: the texts are printed in Song (Ming) style.
    return {QStringLiteral("Noto Serif CJK TC"), QStringLiteral("Noto Serif CJK SC"),
            QStringLiteral("Noto Sans CJK TC"), QStringLiteral("Noto Sans CJK SC"),
            QStringLiteral("SimSun-ExtB"), QStringLiteral("SimSun")};
}

void CKeywordEdit::keyPressEvent(QKeyEvent* pEvent) {
    QLineEdit::keyPressEvent(pEvent);
    if (pEvent->key() == Qt::Key_Return || pEvent->key() == Qt::Key_Enter) pEvent->ignore();
}
