#include "shell/MainWindow.h"

#include <filesystem>

#include "commands/RegionMenu.h"
#include "commands/StatusText.h"
#include "geometry/ObjMesh.h"
#include "geometry/SaveRepairs.h"
#include "platform/Preferences.h"
#include "platform/ProfileStore.h"
#include "platform/Ui.h"

namespace tessary {

namespace {
constexpr const char* kObjButtonText = "OBJ Geometry File";
// The window's placement lives beside the Preferences section, never in it.
constexpr const char* kPlacementSection = "Window";

std::string PaneTitle(const FigureFile& file) {
    if (file.loaded == 0) {
        return "(empty)";
    }
    return file.fileName + (file.modified != 0 ? "*" : "");
}

bool IsFile(const std::string& path) {
    std::error_code error;
    return std::filesystem::is_regular_file(path, error);
}

}  // namespace

std::string WindowUsageText() {
    return "Usage: tessary [FILE [FILE]]\n"
           "Opens the window of Tessary, the figure and pose file editor.\n"
           "\n"
           "  FILE         a character, scene, pose, hand or face file; one file is loaded\n"
           "               into the left pane, a second one into the right pane\n"
           "  --help       print this text and end\n"
           "  --version    print the version and end\n"
           "\n"
           "Without a file the About box is shown first.\n";
}

std::string WindowVersionText() {
    return std::string("tessary ") + TESSARY_VERSION + "\n";
}

WindowArguments MainWindow::ParseArguments(const std::vector<std::string>& arguments) {
    WindowArguments parsed;
    if (arguments.size() == 1 && (arguments[0] == "--help" || arguments[0] == "-h")) {
        parsed.help = true;
        return parsed;
    }
    if (arguments.size() == 1 && arguments[0] == "--version") {
        parsed.version = true;
        return parsed;
    }
    if (arguments.empty()) {
        return parsed;
    }
    std::string joined;
    for (const std::string& argument : arguments) {
        joined += (joined.empty() ? "" : " ") + argument;
    }
    if (arguments.size() == 2 && !IsFile(joined)) {
        parsed.files = arguments;
    } else {
        parsed.files = {joined};
    }
    return parsed;
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
    commandContext.commandDone = [this] { ButtonsChanged(); };
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

void MainWindow::Start(const std::vector<std::string>& files) {
    if (files.size() < 2) {
        Start(files.empty() ? std::string() : files.front());
        return;
    }
    Start(files[0]);
    FigureFile& right = File(Side::Right);
    right.path = files[1];
    right.fileName = FileNameOfPath(files[1]);
    right.Load();
}

std::string MainWindow::Title() {
    const FigureFile& left = File(Side::Left);
    const FigureFile& right = File(Side::Right);
    if (left.loaded == 0 && right.loaded == 0) {
        return "tessary";
    }
    return PaneTitle(left) + " | " + PaneTitle(right) + " - tessary";
}

std::string MainWindow::Title(Side focused) {
    std::string next = UndoText(focused);
    if (next.empty()) {
        next = RedoText(focused);
    }
    return next.empty() ? Title() : Title() + " - " + next;
}

std::string MainWindow::UndoText(Side side) {
    const EditStep* step = File(side).history.NextUndo();
    return step != nullptr ? "Undo " + step->Label() : std::string();
}

std::string MainWindow::RedoText(Side side) {
    const EditStep* step = File(side).history.NextRedo();
    return step != nullptr ? "Redo " + step->Label() : std::string();
}

std::optional<WindowPlacement> MainWindow::ReadPlacement() {
    WindowPlacement placement;
    placement.width = store.ReadNumber(kPlacementSection, "Width", 0);
    placement.height = store.ReadNumber(kPlacementSection, "Height", 0);
    if (placement.width <= 0 || placement.height <= 0) {
        return std::nullopt;
    }
    placement.x = store.ReadNumber(kPlacementSection, "X", 0);
    placement.y = store.ReadNumber(kPlacementSection, "Y", 0);
    placement.maximized = store.ReadNumber(kPlacementSection, "Maximized", 0) != 0;
    return placement;
}

void MainWindow::WritePlacement(const WindowPlacement& placement) {
    store.WriteNumber(kPlacementSection, "X", placement.x);
    store.WriteNumber(kPlacementSection, "Y", placement.y);
    store.WriteNumber(kPlacementSection, "Width", placement.width);
    store.WriteNumber(kPlacementSection, "Height", placement.height);
    store.WriteNumber(kPlacementSection, "Maximized", placement.maximized ? 1 : 0);
}

void MainWindow::OnLoadButton(Side side) {
    FigureFile& file = File(side);
    // Asked before the open dialog: No leaves everything as it was.
    if (!file.MayDiscardChanges() || !file.ChooseFile()) {
        return;
    }
    commandContext.status.clear();
    file.Load();
    // The caption follows the chosen name even when the load failed.
    panes_[static_cast<int>(side)]->buttons.load.text = file.fileName;
    ButtonsChanged();
}

void MainWindow::OnSaveButton(Side side) {
    FigureFile& file = File(side);
    if (file.Save() != 0) {
        commandContext.status = SavedText(file);
    }
    panes_[static_cast<int>(side)]->buttons.load.text = file.fileName;
    ButtonsChanged();
}

void MainWindow::OnObjButton(Side side) {
    FigureFile& file = File(side);
    if (ChooseObjFile(file) != 0) {
        commandContext.status = AttachedText(file);
    }
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
    if (!ui.ShowHelpPage()) {
        ui.ShowMessage(
            "The help page could not be opened: no help page was installed, or no "
            "program to show web pages was found.",
            "Help", MessageButtons::Ok, MessageIcon::Information);
    }
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
    commandContext.status = LoadedText(file);
    ButtonsChanged();
}

void MainWindow::ButtonsChanged() {
    if (buttonsChanged) {
        buttonsChanged();
    }
}

}  // namespace tessary
