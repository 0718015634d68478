#include "controls/messagebox.h"

#include <QCoreApplication>
#include <QDialog>
#include <QMessageBox>

namespace {

CMessageBox::Hook& TheHook() {
    static CMessageBox::Hook hook;
    return hook;
}

}  // namespace

void CMessageBox::SetHook(Hook hook) { TheHook() = std::move(hook); }

void CMessageBox::Show(QWidget* pParent, const QString& strText) {
    QMessageBox box(QMessageBox::NoIcon, QCoreApplication::applicationName(), strText, QMessageBox::Ok, pParent);
    box.setObjectName(QStringLiteral("messageBox"));
    Exec(box);
}

int CMessageBox::Exec(QDialog& dialog) {
    if (TheHook()) return TheHook()(dialog);
    return dialog.exec();
}
