#pragma once

#include <array>
#include <functional>
#include <memory>
#include <string>

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

    // Called after any change of a button's state, so a window can render it.
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
