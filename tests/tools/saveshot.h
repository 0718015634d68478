#pragma once

#include <QString>
#include <QTest>
#include <QWidget>

#include <cstdio>

// Waits nWaitMs for the browser and the charts to draw, then writes a
// picture of widget to strPath and prints its path; false, with a message
// naming pszProgram, when it cannot be written. For the screenshot tools.
inline bool SaveShot(QWidget& widget, const QString& strPath, const char* pszProgram, int nWaitMs = 400) {
    QTest::qWait(nWaitMs);
    if (!widget.grab().save(strPath)) {
        std::fprintf(stderr, "%s: cannot write %s\n", pszProgram, qPrintable(strPath));
        return false;
    }
    std::printf("%s\n", qPrintable(strPath));
    return true;
}
