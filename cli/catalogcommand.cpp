#include "cli/commands.h"

#include <cstdio>

int RunCatalog(int, char**) {
    std::fprintf(stderr, "tessaline-cli catalog: not built yet\n");
    return 2;
}
