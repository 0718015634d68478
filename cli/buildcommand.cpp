#include "cli/commands.h"

#include <cstdio>

int RunBuild(int, char**) {
    std::fprintf(stderr, "tessaline-cli build: not built yet\n");
    return 2;
}
