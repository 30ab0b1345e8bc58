#pragma once

#include <functional>
#include <map>
#include <optional>
#include <ostream>
#include <stdexcept>
#include <string>
#include <vector>

#include "cli/ScriptParser.h"
#include "cli/Session.h"

namespace tessary {

// A fault of the script itself (unknown action, bad arguments, no such item, a disabled
// button, a missing or unused reply): the run stops with status 2.
class ScriptError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

using Words = std::vector<std::string>;

// Runs the lines of a session script against a Session. Actions are looked up by their first
// word in a table that each area of the program adds its actions to.
class ScriptRunner {
  public:
    using Action = std::function<void(ScriptRunner& runner, const Words& args)>;
    // A dialog that takes over the following lines (returns once it has closed).
    using Mode = std::function<void(ScriptRunner& runner, const Words& words)>;

    ScriptRunner(Session& session, std::string scriptName);

    void AddAction(const std::string& name, Action action);
    // Where a script could not be read on: the malformed line and what is wrong with it.
    struct Malformed {
        int line = 0;
        std::string message;
    };
    // Runs every line; returns the exit status (0, 1, or 2 after a script error, reported on
    // `err` as "tessary-cli: SCRIPT:LINE: message"). A script runs line by line: with
    // `malformed`, the lines before it run and the run then stops there with status 2, unless
    // it ended before (quit).
    int Run(const std::vector<ScriptLine>& lines, std::ostream& err,
            const std::optional<Malformed>& malformed = std::nullopt);

    // Helpers for actions.
    Side ParsePane(const std::string& word) const;
    // The item that an ITEM path names in the pane's tree; a script error when there is none.
    TreeItem ResolveItem(Side side, const std::string& path) const;
    TreeItem ResolveItem(TreeControl& control, const std::string& path) const;
    static void RequireArgs(const Words& args, std::size_t min, std::size_t max, const char* usage);
    // Hands the reply words from `first` on to the Ui for this action.
    void SetReplies(const Words& args, std::size_t first);
    void SetReplies(Words replies);
    // Ends the run after this action, as a window that closed.
    void Stop() { stopped_ = true; }
    void EnterMode(std::string name, Mode mode);
    void LeaveMode();

    Session& session;

  private:
    void RunLine(const Words& words);
    void CheckUi();

    std::string scriptName_;
    std::map<std::string, Action> actions_;
    std::string modeName_;
    Mode mode_;
    bool stopped_ = false;
};

// The bytes Save File writes for a tree, without the save-time repairs.
std::string SavedText(const Block& root);

// The actions of each area register here.
void RegisterCoreActions(ScriptRunner& runner);
// menu, rename, key and drop: what happens inside a pane's tree (CommandActions.cpp).
void RegisterCommandActions(ScriptRunner& runner);
void RegisterGeometryActions(ScriptRunner& runner);
// combine: the Combine Morph Targets dialog filled in from the script (CombineActions.cpp).
void RegisterCombineActions(ScriptRunner& runner);
// options and region: the More Options button of a pane (RegionActions.cpp).
void RegisterRegionActions(ScriptRunner& runner);

}  // namespace tessary
