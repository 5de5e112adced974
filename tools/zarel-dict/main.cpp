// zarel-dict: builds the dictionary tree of an installation from FreeDict and inspects trees.
#include "zarel-dict/cli.h"

#include <iostream>
#include <string>
#include <vector>

int main(int argc, char **argv)
{
    const std::vector<std::string> args(argv + 1, argv + argc);
    return zarel::dicttool::runCommandLine(args, std::cout, std::cerr);
}
