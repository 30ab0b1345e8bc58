#include <iostream>
#include <string>
#include <vector>

#include "cli/CliMain.h"
#include "cli/Session.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <windows.h>

#include <shellapi.h>

namespace {

// The command line as UTF-8, whatever the console's code page: file names in it may have any
// characters.
std::vector<std::string> Utf8Arguments() {
    std::vector<std::string> args;
    int count = 0;
    wchar_t** wide = CommandLineToArgvW(GetCommandLineW(), &count);
    for (int i = 1; wide != nullptr && i < count; ++i) {
        const int size = WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        std::string arg(size > 0 ? static_cast<std::size_t>(size) : 1, '\0');
        WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, arg.data(), size, nullptr, nullptr);
        arg.resize(arg.size() - 1);  // the terminating NUL
        args.push_back(std::move(arg));
    }
    LocalFree(wide);
    return args;
}

}  // namespace
#endif

int main(int argc, char** argv) {
    std::ios::sync_with_stdio(false);
#ifdef _WIN32
    // Output is the same bytes on every system: "\n" stays "\n", as scripts that read it expect.
    _setmode(_fileno(stdout), _O_BINARY);
    _setmode(_fileno(stderr), _O_BINARY);
    _setmode(_fileno(stdin), _O_BINARY);
    (void)argc;
    (void)argv;
    std::vector<std::string> args = Utf8Arguments();
#else
    std::vector<std::string> args(argv + 1, argv + argc);
#endif
    tessary::Session::LeaveTreesAtExit();
    int status = tessary::RunCli(args, std::cout, std::cerr, std::cin);
    std::cout.flush();
    return status;
}
