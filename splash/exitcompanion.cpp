#include "splash/exitcompanion.h"

#include <QFileInfo>
#include <QProcess>

bool CExitCompanion::Start(const QString& strFolder) {
    const QFileInfo program(strFolder + QLatin1Char('/') + QLatin1String(FileName));
    if (!program.isFile() || !program.isExecutable()) return false;
    return QProcess::startDetached(program.absoluteFilePath(), QStringList());
}
