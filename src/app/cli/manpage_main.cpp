// Writes the manual page zarvex-cli(1) at build time.
//
//   zarvex_cli_manpage OUT.1

#include <cstdio>
#include <fstream>

#include "app/cli/usage.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s OUT.1\n", argv[0]);
        return 2;
    }
    std::ofstream out(argv[1]);
    zarvex::cli::WriteManualPage(out);
    out.close();
    return out ? 0 : 1;
}
