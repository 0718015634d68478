#include "frame/book.h"

#include <cstring>

int main(int argc, char** argv) {
    // The help text needs no screen.
    for (int i = 1; i < argc; ++i)
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0)
            qputenv("QT_QPA_PLATFORM", "offscreen");
    CBookApp::PrepareEnvironment();
    CBookApp app(argc, argv);
    if (!app.InitInstance(app.arguments())) return 2;
    const int nResult = app.exec();
    app.ExitInstance();
    return nResult;
}
