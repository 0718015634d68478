#include "cli/commands.h"

#include <cstdio>

int RunPage(int, char**) {
    std::fprintf(stderr, "tessaline-cli page: not built yet\n");
    return 2;
}
