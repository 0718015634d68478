#pragma once

#include <QString>

#include <functional>

class QDialog;
class QWidget;

// Every modal box and dialog of the reader runs through here: message boxes
// with an OK button and the application title as caption, and the print
// dialogs. Tests install a hook that answers them instead of a user, so
// that no box blocks a test.
class CMessageBox {
public:
    CMessageBox() = delete;

    // Gets the dialog (a QMessageBox for Show) instead of running it;
    // returns the dialog's result. An empty hook restores exec().
    using Hook = std::function<int(QDialog& dialog)>;
    static void SetHook(Hook hook);

    // A message box with an OK button; the caption is the application name
    // (the title the application object sets).
    static void Show(QWidget* pParent, const QString& strText);

    // Runs dialog modally (or hands it to the hook) and returns its result.
    static int Exec(QDialog& dialog);
};
