#include "TessaryApplication.h"

int main(int argc, char** argv) {
    tessary::TessaryApplication application(argc, argv);
    // Read after Qt has taken out the options that are its own (-platform, -style ...).
    return application.Run(tessary::TessaryApplication::CommandLine(argc, argv));
}
