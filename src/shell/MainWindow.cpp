#include "shell/MainWindow.h"

#include "commands/RegionMenu.h"
#include "geometry/ObjMesh.h"
#include "geometry/SaveRepairs.h"
#include "platform/Preferences.h"
#include "platform/Ui.h"

namespace tessary {

namespace {
constexpr const char* kObjButtonText = "OBJ Geometry File";
}

struct MainWindow::Pane {
    Pane(Ui& ui, ProfileStore& store, TreeControl& control, CommandContext& context)
        : file(ui, store), tree(control, file), commands(tree, context) {
        file.saveRepairs = SaveTimeRepairs();
    }
    FigureFile file;
    FigureTree tree;
    PaneCommands commands;
    PaneButtons buttons;
};

MainWindow::MainWindow(Ui& ui, ProfileStore& store, TreeControl& leftControl,
                       TreeControl& rightControl)
    : ui(ui), store(store) {
    panes_[0] = std::make_unique<Pane>(ui, store, leftControl, commandContext);
    panes_[1] = std::make_unique<Pane>(ui, store, rightControl, commandContext);
    FigureFile& left = panes_[0]->file;
    FigureFile& right = panes_[1]->file;
    left.mainWindow = this;
    right.mainWindow = this;
    left.otherPane = &right;
    right.otherPane = &left;
    left.viewKind = kFigureView;
    right.viewKind = kFigureView;
}

MainWindow::~MainWindow() = default;

FigureFile& MainWindow::File(Side side) {
    return panes_[static_cast<int>(side)]->file;
}

FigureTree& MainWindow::Tree(Side side) {
    return panes_[static_cast<int>(side)]->tree;
}

PaneCommands& MainWindow::Commands(Side side) {
    return panes_[static_cast<int>(side)]->commands;
}

const PaneButtons& MainWindow::Buttons(Side side) const {
    return panes_[static_cast<int>(side)]->buttons;
}

Side MainWindow::SideOf(const FigureFile& file) const {
    return &file == &panes_[0]->file ? Side::Left : Side::Right;
}

void MainWindow::Start(const std::string& commandLine) {
    if (commandLine.empty()) {
        ui.ShowAbout();
        return;
    }
    // The whole command line is one path: no quote removal, no splitting.
    FigureFile& left = File(Side::Left);
    left.path = commandLine;
    left.fileName = FileNameOfPath(commandLine);
    left.Load();
}

void MainWindow::OnLoadButton(Side side) {
    FigureFile& file = File(side);
    if (!file.ChooseFile()) {
        return;
    }
    file.Load();
    // The caption follows the chosen name even when the load failed.
    panes_[static_cast<int>(side)]->buttons.load.text = file.fileName;
    ButtonsChanged();
}

void MainWindow::OnSaveButton(Side side) {
    FigureFile& file = File(side);
    file.Save();
    panes_[static_cast<int>(side)]->buttons.load.text = file.fileName;
    ButtonsChanged();
}

void MainWindow::OnObjButton(Side side) {
    FigureFile& file = File(side);
    ChooseObjFile(file);
    // Set even when the dialog was cancelled or the file could not be read: the button names
    // the file last chosen, as the fields do.
    ButtonState& obj = panes_[static_cast<int>(side)]->buttons.obj;
    obj.text = file.objFileName.empty() ? kObjButtonText : file.objFileName;
    ButtonsChanged();
}

Menu MainWindow::OnOptionsButton(Side side) {
    return ShowRegionMenu(Commands(side));
}

void MainWindow::OnPreferencesButton() {
    std::optional<Preferences> chosen = ui.RunPreferencesDialog(Preferences::Read(store));
    if (!chosen) {
        return;
    }
    chosen->Write(store);
    File(Side::Left).LoadPreferences();
    File(Side::Right).LoadPreferences();
}

void MainWindow::OnAboutButton() {
    ui.ShowAbout();
}

void MainWindow::ShowAs(Side side, std::int32_t viewKind) {
    File(side).viewKind = viewKind;
    Tree(side).Refresh();
}

void MainWindow::OnHelpButton() {
    ui.OpenHelpPage();
}

bool MainWindow::OnQuit() {
    if (!File(Side::Left).modified && !File(Side::Right).modified) {
        return true;
    }
    return ui.ShowMessage("You have made changes. Are you sure you wish to quit?", "WARNING!",
                          MessageButtons::YesNo, MessageIcon::Exclamation) == MessageAnswer::Yes;
}

void MainWindow::OnFileLoaded(FigureFile& file) {
    PaneButtons& buttons = panes_[static_cast<int>(SideOf(file))]->buttons;
    buttons.save.enabled = true;
    buttons.load.text = file.fileName;
    buttons.obj.enabled = true;
    // Right after an OBJ file is attached geometryName is its name; after a later load it is the
    // geometry the new file names.
    buttons.obj.text = file.objFileName.empty() ? kObjButtonText : file.geometryName;
    buttons.obj.shown = file.viewKind != kPoseView;
    buttons.options.shown = file.viewKind == kPoseView;
    ButtonsChanged();
}

void MainWindow::ButtonsChanged() {
    if (buttonsChanged) {
        buttonsChanged();
    }
}

}  // namespace tessary
