#include <iostream>
#include <string>
#include <vector>

#include "cli/CliMain.h"
#include "cli/Session.h"

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
    std::vector<std::string> args(argv + 1, argv + argc);
    tessary::Session::LeaveTreesAtExit();
    int status = tessary::RunCli(args, std::cout, std::cerr, std::cin);
    std::cout.flush();
    return status;
}
