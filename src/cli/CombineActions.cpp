// The `combine` action: "Combine Morph Targets" on a MORPH TARGETS folder, with the Combine
// dialog filled in by the script's words, through the same dispatcher as the window's menu.
#include <string>

#include "cli/ScriptRunner.h"
#include "commands/PaneCommands.h"

namespace tessary {

namespace {

constexpr const char* kUsage =
    "combine PANE ITEM NAME add|subtract ENTRY... or combine PANE ITEM cancel";
constexpr const char* kEntryText = "Combine Morph Targets";

ScriptedUi::CombineScript ParseCombineWords(const Words& args) {
    ScriptedUi::CombineScript script;
    if (args.size() == 3) {
        if (args[2] != "cancel") {
            throw ScriptError(std::string("usage: ") + kUsage);
        }
        script.cancel = true;
        return script;
    }
    ScriptRunner::RequireArgs(args, 5, static_cast<std::size_t>(-1), kUsage);
    if (args[3] != "add" && args[3] != "subtract") {
        throw ScriptError("'" + args[3] + "' is neither add nor subtract");
    }
    script.newName = args[2];
    script.add = args[3] == "add";
    script.entries.assign(args.begin() + 4, args.end());
    return script;
}

void CombineAction(ScriptRunner& runner, const Words& args) {
    ScriptRunner::RequireArgs(args, 3, static_cast<std::size_t>(-1), kUsage);
    ScriptedUi::CombineScript script = ParseCombineWords(args);
    const Side side = runner.ParsePane(args[0]);
    const TreeItem item = runner.ResolveItem(side, args[1]);
    PaneCommands& pane = runner.session.window.Commands(side);
    const std::optional<Menu> menu = pane.OpenContextMenu(item);
    const MenuItem* entry = menu ? menu->FindByPlainText(kEntryText) : nullptr;
    if (entry == nullptr) {
        throw ScriptError(std::string("no entry '") + kEntryText + "' in the menu of '" + args[1] +
                          "'");
    }
    if (entry->grayed) {
        throw ScriptError(std::string("the entry '") + kEntryText + "' is grayed");
    }
    ScriptedUi& ui = runner.session.ui;
    ui.SetCombineScript(std::move(script));
    pane.Dispatch(entry->id);
    if (ui.CombineScriptPending()) {
        ui.ClearCombineScript();
        throw ScriptError(std::string("'") + kEntryText + "' opened no dialog on '" + args[1] +
                          "'");
    }
}

}  // namespace

void RegisterCombineActions(ScriptRunner& runner) {
    runner.AddAction("combine", CombineAction);
}

}  // namespace tessary
