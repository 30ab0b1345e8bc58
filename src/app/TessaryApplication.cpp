#include "TessaryApplication.h"

#include <QFileInfo>
#include <new>

#include "QtMainWindow.h"
#include "QtProfileStore.h"
#include "QtUi.h"
#include "pane/FigureFile.h"

namespace tessary {

TessaryApplication::TessaryApplication(int& argc, char** argv) : QApplication(argc, argv) {
    setOrganizationName(QStringLiteral("Tessary"));
    setApplicationName(QFileInfo(applicationFilePath()).completeBaseName());
}

int TessaryApplication::Run(const std::vector<std::string>& arguments) {
    QtProfileStore store;
    QtUi ui;
    QtMainWindow window(ui, store);
    ui.SetWindow(&window);
    window.Start(MainWindow::ParseArguments(arguments).files);
    window.exec();
    return 0;
}

bool TessaryApplication::notify(QObject* receiver, QEvent* event) {
    try {
        return QApplication::notify(receiver, event);
    } catch (const std::bad_alloc&) {
        QtUi ui;
        ShowOutOfMemory(ui);
        return false;
    }
}

std::vector<std::string> TessaryApplication::Arguments(int argc, char** argv) {
    return std::vector<std::string>(argv + 1, argv + argc);
}
}  // namespace tessary
