// The actions of a session script that act inside a pane's tree: menu, rename, key and drop.
// They go through the panes' PaneCommands exactly as the window's right-clicks, label edits,
// keys and drops do.
#include <memory>
#include <utility>

#include "cli/ScriptRunner.h"
#include "cli/TreePrinter.h"
#include "commands/BlockInspector.h"
#include "commands/PaneCommands.h"
#include "headless/MemoryTreeControl.h"
#include "model/Block.h"

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

// The Block Info dialog that `properties` opened, kept open across the script's lines until
// `ok` or `cancel`.
struct OpenProperties {
    Side side = Side::Left;
    TreeItem item = 0;
    Block before;
    MemoryTreeControl control;
    std::unique_ptr<BlockInspector> inspector;
};

// Chooses ENTRY from the menu of LINE in the dialog's tree, as a right-click there would.
void DialogMenu(OpenProperties& open, ScriptRunner& runner, const std::string& line,
                const char* entryText) {
    PaneCommands& commands = open.inspector->Commands();
    const TreeItem item = runner.ResolveItem(open.control, line);
    const std::optional<Menu> menu = commands.OpenContextMenu(item);
    const MenuItem* entry = menu ? menu->FindByPlainText(entryText) : nullptr;
    if (entry == nullptr) {
        throw ScriptError(std::string("no entry '") + entryText + "' in the menu of '" + line +
                          "'");
    }
    if (entry->grayed) {
        throw ScriptError(std::string("the entry '") + entryText + "' is grayed");
    }
    commands.Dispatch(entry->id);
}

void ChangeLine(OpenProperties& open, ScriptRunner& runner, const Words& args,
                const char* entryText) {
    PaneCommands& commands = open.inspector->Commands();
    // The Change dialog is typed into: its value becomes TEXT as given, then OK.
    commands.runChangeDialog = [text = args[1]](const std::string&, const std::string&) {
        return std::optional<std::string>(text);
    };
    try {
        DialogMenu(open, runner, args[0], entryText);
    } catch (...) {
        commands.runChangeDialog = nullptr;
        throw;
    }
    commands.runChangeDialog = nullptr;
}

// One line of the script while the Block Info dialog is open.
void PropertiesLine(SessionCommands& commands, OpenProperties& open, ScriptRunner& runner,
                    const Words& words) {
    const std::string& name = words.front();
    const Words args(words.begin() + 1, words.end());
    if (name == "change-data") {
        ScriptRunner::RequireArgs(args, 2, 2, "change-data LINE TEXT");
        ChangeLine(open, runner, args, "Change Data");
    } else if (name == "change-tag") {
        ScriptRunner::RequireArgs(args, 2, 2, "change-tag LINE TEXT");
        ChangeLine(open, runner, args, "Change Tag");
    } else if (name == "delete") {
        ScriptRunner::RequireArgs(args, 1, 2, "delete LINE [REPLY]");
        runner.SetReplies(args, 1);
        DialogMenu(open, runner, args[0], "Delete");
    } else if (name == "show") {
        ScriptRunner::RequireArgs(args, 0, 0, "show (the Block Info dialog's tree)");
        WriteTreeListing(open.control, runner.session.out);
    } else if (name == "size") {
        ScriptRunner::RequireArgs(args, 0, 0, "size (the Block Info dialog's Memory Usage)");
        runner.session.out << open.inspector->SizeText() << '\n';
    } else if (name == "ok" || name == "cancel") {
        ScriptRunner::RequireArgs(args, 0, 0, name == "ok" ? "ok" : "cancel");
        if (name == "ok") {
            open.inspector->Accept();
        }
        open.inspector.reset();
        runner.LeaveMode();
        if (name == "ok") {
            commands.Pane(open.side).PropertiesAccepted(open.item, std::move(open.before));
        }
    } else {
        throw ScriptError("'" + name +
                          "' is not a line of the Block Info dialog (change-data, change-tag, "
                          "delete, show, size, ok or cancel)");
    }
}

void PropertiesAction(SessionCommands& commands, ScriptRunner& runner, const Words& args) {
    ScriptRunner::RequireArgs(args, 2, 2, "properties PANE ITEM");
    const Side side = runner.ParsePane(args[0]);
    const TreeItem item = runner.ResolveItem(side, args[1]);
    PaneCommands& pane = commands.Pane(side);
    const std::optional<Menu> menu = pane.OpenContextMenu(item);
    const MenuItem* entry = menu ? menu->FindByPlainText("Properties") : nullptr;
    if (entry == nullptr) {
        throw ScriptError("no entry 'Properties' in the menu of '" + args[1] + "'");
    }
    if (entry->grayed) {
        throw ScriptError("the entry 'Properties' is grayed");
    }

    // The dialog stays open after the menu command returns; the lines up to ok or cancel
    // work in it, and ok ends the command as the menu's OK would.
    auto open = std::make_shared<OpenProperties>();
    open->side = side;
    open->item = item;
    Session& session = runner.session;
    std::function<bool(Block&)> asked = std::move(pane.runBlockInfoDialog);
    pane.runBlockInfoDialog = [&open = *open, &session, &pane](Block& block) {
        open.before = block;
        open.inspector = std::make_unique<BlockInspector>(block, open.control, session.ui,
                                                          session.store, pane.context);
        return false;
    };
    pane.Dispatch(entry->id);
    pane.runBlockInfoDialog = std::move(asked);
    if (!open->inspector) {
        throw ScriptError("'Properties' opened no dialog on '" + args[1] + "'");
    }
    runner.EnterMode("Block Info",
                     [commands = &commands, open](ScriptRunner& r, const Words& words) {
                         PropertiesLine(*commands, *open, r, words);
                     });
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
    ScriptRunner::RequireArgs(args, 2, 3, "drop PANE FILE [REPLY]");
    const Side side = runner.ParsePane(args[0]);
    runner.SetReplies(args, 2);
    commands.Pane(side).OnDrop({args[1]});
}

// Ctrl+Z and Ctrl+Shift+Z in the pane; with nothing to undo or redo nothing happens.
void UndoAction(SessionCommands& commands, ScriptRunner& runner, const Words& args) {
    ScriptRunner::RequireArgs(args, 1, 1, "undo PANE");
    commands.Pane(runner.ParsePane(args[0])).Undo();
}

void RedoAction(SessionCommands& commands, ScriptRunner& runner, const Words& args) {
    ScriptRunner::RequireArgs(args, 1, 1, "redo PANE");
    commands.Pane(runner.ParsePane(args[0])).Redo();
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
    add("undo", UndoAction);
    add("redo", RedoAction);
    add("properties", PropertiesAction);
}

}  // namespace tessary
