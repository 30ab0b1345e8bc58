#include <cstdio>
#include <string>
#include <vector>

#include "TessaryApplication.h"
#include "shell/MainWindow.h"

int main(int argc, char** argv) {
    // --help and --version answer before the application object needs a display.
    const tessary::WindowArguments asked =
        tessary::MainWindow::ParseArguments(std::vector<std::string>(argv + 1, argv + argc));
    if (asked.help || asked.version) {
        const std::string text =
            asked.help ? tessary::WindowUsageText() : tessary::WindowVersionText();
        std::fputs(text.c_str(), stdout);
        return 0;
    }
    tessary::TessaryApplication application(argc, argv);
    // Read after Qt has taken out the options that are its own (-platform, -style ...).
    return application.Run(tessary::TessaryApplication::Arguments(argc, argv));
}
