// main() of the window tests: one application object for all cases. The
// run works in a folder of its own and keeps its settings, its cache (the
// catalogue dump "vmk.txt") and its data (the bookmarks and the search
// history) there.
#include "frame/book.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QTemporaryDir>

int main(int argc, char** argv) {
    QTemporaryDir work(QDir::tempPath() + "/tessaline-gui-test-XXXXXX");
    if (!work.isValid() || !QDir::setCurrent(work.path())) return 2;
    qputenv("XDG_CONFIG_HOME", QFile::encodeName(work.filePath(QStringLiteral("config"))));
    qputenv("XDG_CACHE_HOME", QFile::encodeName(work.filePath(QStringLiteral("cache"))));
    qputenv("XDG_DATA_HOME", QFile::encodeName(work.filePath(QStringLiteral("data"))));
    CBookApp::PrepareEnvironment();
    CBookApp app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
