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

int TessaryApplication::Run(const std::string& commandLine) {
    QtProfileStore store;
    QtUi ui;
    QtMainWindow window(ui, store);
    ui.SetWindow(&window);
    window.Start(commandLine);
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

std::string TessaryApplication::CommandLine(int argc, char** argv) {
    std::string line;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) {
            line += ' ';
        }
        line += argv[i];
    }
    return line;
}

}  // namespace tessary
