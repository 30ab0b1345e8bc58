#pragma once

#include <QApplication>
#include <string>
#include <vector>

namespace tessary {

// The application object: names the profile root ("Tessary", then the executable's base
// name) and runs the main window modally until it closes.
class TessaryApplication : public QApplication {
    Q_OBJECT

  public:
    TessaryApplication(int& argc, char** argv);

    // Shows the main window, started with the files of `arguments` (see
    // MainWindow::ParseArguments), and returns when it closes.
    int Run(const std::vector<std::string>& arguments);

    // Delivers events; an event handler that runs out of memory ends with a message box
    // rather than with the program (the core's commands report it themselves).
    bool notify(QObject* receiver, QEvent* event) override;

    // The program's arguments. The bytes are kept as the system gave them, so a file name in
    // any encoding still names its file.
    static std::vector<std::string> Arguments(int argc, char** argv);
};

}  // namespace tessary
