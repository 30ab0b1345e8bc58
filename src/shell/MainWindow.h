#pragma once

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "commands/PaneCommands.h"
#include "pane/FigureFile.h"
#include "pane/FigureTree.h"
#include "platform/MainWindowLink.h"

namespace tessary {

class ProfileStore;
class TreeControl;
class Ui;

enum class Side { Left = 0, Right = 1 };

struct ButtonState {
    bool enabled = true;
    bool shown = true;
    std::string text;
};

// The buttons of one pane, as the window shows them.
struct PaneButtons {
    ButtonState load{true, true, "Load File"};
    ButtonState save{false, true, "Save File"};
    ButtonState obj{false, false, "OBJ Geometry File"};
    ButtonState options{true, false, "More Options"};
};

// Where the window was on screen and how large, kept between runs in the profile store beside
// (not in) the preferences.
struct WindowPlacement {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    bool maximized = false;
};

// What the window's own command line asks for.
struct WindowArguments {
    bool help = false;
    bool version = false;
    // The files to load: none, one for the left pane, or one for each pane.
    std::vector<std::string> files;
};

// `tessary --help` and `--version` print these and end.
std::string WindowUsageText();
std::string WindowVersionText();

// The main window's logic without widgets: the two panes linked to each other, the state of
// every pane button, the button commands, start-up and the quit check. The desktop window
// renders it and forwards clicks; tessary-cli drives the same object.
class MainWindow : public MainWindowLink {
  public:
    MainWindow(Ui& ui, ProfileStore& store, TreeControl& leftControl, TreeControl& rightControl);
    ~MainWindow() override;

    FigureFile& File(Side side);
    FigureTree& Tree(Side side);
    // What the user does inside a pane's tree goes through these, from either face.
    PaneCommands& Commands(Side side);
    const PaneButtons& Buttons(Side side) const;
    // The side whose pane holds `file`.
    Side SideOf(const FigureFile& file) const;

    // With a command line, loads it (taken whole as one path) into the left pane; without one,
    // shows the About box.
    void Start(const std::string& commandLine);
    // Shows the pane's file as `viewKind` (raw, figure or pose) and refills its tree.
    void ShowAs(Side side, std::int32_t viewKind);
    // With one file, as Start with that path; with two, the first goes to the left pane and
    // the second to the right one.
    void Start(const std::vector<std::string>& files);
    // The arguments of the window's command line. One argument, or arguments that together
    // name an existing file, are one path as before (a path with blanks split by the shell
    // still loads); exactly two others are a file for each pane.
    static WindowArguments ParseArguments(const std::vector<std::string>& arguments);

    // "tessary" while both panes are empty; otherwise both file names, a "*" after one with
    // unsaved changes: "figure.cr2* | pose.pz2 - tessary".
    std::string Title();
    // Title() and what the focused pane's Ctrl+Z would undo, or else what its Ctrl+Y would
    // redo: "figure.cr2* | pose.pz2 - tessary - Undo Delete All Morph Targets (lHand)".
    std::string Title(Side focused);
    // "Undo Delete All Morph Targets (lHand)", "Redo ..." or empty: the next step of a pane.
    std::string UndoText(Side side);
    std::string RedoText(Side side);
    // What the last command did, for the status line; empty when it said nothing.
    const std::string& StatusText() const { return commandContext.status; }

    // The placement kept from the last run, if any.
    std::optional<WindowPlacement> ReadPlacement();
    void WritePlacement(const WindowPlacement& placement);

    void OnLoadButton(Side side);
    void OnSaveButton(Side side);
    // The OBJ Geometry File button: choose and attach an OBJ file; the button then names it.
    void OnObjButton(Side side);
    // The More Options button: the region menu of the pane, to be shown at the button's
    // top-left corner; its choice goes to Commands(side).Dispatch.
    Menu OnOptionsButton(Side side);
    void OnPreferencesButton();
    void OnAboutButton();
    void OnHelpButton();
    // The quit check: true when the window may close.
    bool OnQuit();

    void OnFileLoaded(FigureFile& file) override;

    // Called after any change of a button's state, of the title or of the status text, so a
    // window can render it.
    std::function<void()> buttonsChanged;

    Ui& ui;
    ProfileStore& store;
    // The popup state that both panes' commands, and any other tree's of this run, share.
    CommandContext commandContext;

  private:
    void ButtonsChanged();

    struct Pane;
    std::array<std::unique_ptr<Pane>, 2> panes_;
};

}  // namespace tessary
