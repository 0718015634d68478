#include "cli/commands.h"

#include <cstdio>

int RunSearch(int, char**) {
    std::fprintf(stderr, "tessaline-cli search: not built yet\n");
    return 2;
}
