// The actions of a session script that act inside a pane's tree: menu, rename, key and drop.
// They go through the panes' PaneCommands exactly as the window's right-clicks, label edits,
// keys and drops do.
#include <memory>

#include "cli/ScriptRunner.h"
#include "commands/PaneCommands.h"

namespace tessary {

namespace {

// The panes' dispatchers live in the shell's MainWindow, shared with the desktop face.
struct SessionCommands {
    explicit SessionCommands(Session& session) : session(session) {
        for (Side side : {Side::Left, Side::Right}) {
            // "Properties" from a menu opens the Block Info dialog, which a script answers
            // like a question: OK with the dialog as it opened, or Cancel.
            Pane(side).runBlockInfoDialog = [&ui = session.ui](Block&) {
                return ui.AnswerModalDialog("Block Info");
            };
        }
    }

    PaneCommands& Pane(Side side) { return session.window.Commands(side); }

    Session& session;
};

void MenuAction(SessionCommands& commands, ScriptRunner& runner, const Words& args) {
    ScriptRunner::RequireArgs(args, 3, static_cast<std::size_t>(-1),
                              "menu PANE ITEM ENTRY [REPLY...]");
    const Side side = runner.ParsePane(args[0]);
    const TreeItem item = runner.ResolveItem(side, args[1]);
    PaneCommands& pane = commands.Pane(side);
    const std::optional<Menu> menu = pane.OpenContextMenu(item);
    if (!menu) {
        throw ScriptError("no menu for '" + args[1] + "'");
    }
    const MenuItem* entry = menu->FindByPlainText(args[2]);
    if (entry == nullptr) {
        throw ScriptError("no entry '" + args[2] + "' in the menu of '" + args[1] + "'");
    }
    if (entry->grayed) {
        throw ScriptError("the entry '" + args[2] + "' is grayed");
    }
    runner.SetReplies(args, 3);
    pane.Dispatch(entry->id);
}

void RenameAction(SessionCommands& commands, ScriptRunner& runner, const Words& args) {
    ScriptRunner::RequireArgs(args, 3, 3, "rename PANE ITEM TEXT");
    const Side side = runner.ParsePane(args[0]);
    const TreeItem item = runner.ResolveItem(side, args[1]);
    PaneCommands& pane = commands.Pane(side);
    // Where the tree refuses the label editor there is no edit to end.
    if (pane.CanBeginLabelEdit(item)) {
        pane.EndLabelEdit(item, args[2]);
    }
}

void KeyAction(SessionCommands& commands, ScriptRunner& runner, const Words& args) {
    ScriptRunner::RequireArgs(args, 3, static_cast<std::size_t>(-1),
                              "key PANE ITEM insert|delete [REPLY...]");
    const Side side = runner.ParsePane(args[0]);
    const TreeItem item = runner.ResolveItem(side, args[1]);
    TreeKey key = TreeKey::Other;
    if (args[2] == "insert") {
        key = TreeKey::Insert;
    } else if (args[2] == "delete") {
        key = TreeKey::Delete;
    } else {
        throw ScriptError("'" + args[2] + "' is not a key (insert or delete)");
    }
    runner.session.Control(side).SelectItem(item);
    runner.SetReplies(args, 3);
    commands.Pane(side).OnKey(key);
}

void DropAction(SessionCommands& commands, ScriptRunner& runner, const Words& args) {
    ScriptRunner::RequireArgs(args, 2, 2, "drop PANE FILE");
    commands.Pane(runner.ParsePane(args[0])).OnDrop({args[1]});
}

}  // namespace

void RegisterCommandActions(ScriptRunner& runner) {
    auto commands = std::make_shared<SessionCommands>(runner.session);
    const auto add = [&](const char* name,
                         void (*action)(SessionCommands&, ScriptRunner&, const Words&)) {
        runner.AddAction(name, [commands, action](ScriptRunner& r, const Words& args) {
            action(*commands, r, args);
        });
    };
    add("menu", MenuAction);
    add("rename", RenameAction);
    add("key", KeyAction);
    add("drop", DropAction);
}

}  // namespace tessary
