// batchrun: runs a conversion script the way the Windows command interpreter would,
// without involving a shell.
//
//   batchrun SCRIPT
//
// The whole script is read before its first line runs, so a script rewritten by the
// next conversion while this one runs cannot mix two requests.

#include "BatchRunner.h"

#include <fstream>
#include <iostream>
#include <sstream>

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::cerr << "usage: batchrun SCRIPT\n";
        return 2;
    }
    std::ifstream file(argv[1], std::ios::binary);
    if (!file) {
        std::cerr << "batchrun: cannot read the script \"" << argv[1] << "\"\n";
        return 1;
    }
    std::ostringstream text;
    text << file.rdbuf();
    return runBatchScript(text.str(), std::cout);
}
