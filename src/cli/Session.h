#pragma once

#include <ostream>

#include "headless/MemoryProfileStore.h"
#include "headless/MemoryTreeControl.h"
#include "headless/ScriptedUi.h"
#include "shell/MainWindow.h"

namespace tessary {

// The window-less application: the same MainWindow logic as the desktop, over an in-memory
// tree control per pane, a scripted Ui that logs to `out`, and a profile store that starts
// with nothing stored (so the six defaults apply and the user's preferences are never touched).
class Session {
  public:
    // `err`, when given, receives the detail line of each error box.
    explicit Session(std::ostream& out, std::ostream* err = nullptr);
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;
    ~Session();

    // For a program that ends right after its Session: the panes' trees are then left to the
    // system instead of being freed Block by Block (a large file's tree takes a noticeable
    // time to free, and nothing can be observed of it). tessary-cli's main sets it; nothing
    // else should, since the memory is never given back.
    static void LeaveTreesAtExit() { leaveTreesAtExit = true; }

    std::ostream& out;
    ScriptedUi ui;
    MemoryProfileStore store;
    MemoryTreeControl leftControl;
    MemoryTreeControl rightControl;
    MainWindow window;

    TreeControl& Control(Side side) { return side == Side::Left ? leftControl : rightControl; }
    // 0 without any error message box, 1 with one.
    int ExitStatus() const { return ui.ErrorShown() ? 1 : 0; }

  private:
    static inline bool leaveTreesAtExit = false;
};

}  // namespace tessary
