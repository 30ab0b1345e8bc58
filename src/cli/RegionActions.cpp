// The actions of a pane's More Options button: options (an entry of the region menu) and
// region (the region dialog filled in).
#include "cli/ScriptRunner.h"
#include "commands/CommandIds.h"
#include "regions/RegionForm.h"

namespace tessary {

namespace {

// The region menu of a pane, as its More Options button opens it.
Menu OpenRegionMenu(ScriptRunner& runner, Side side) {
    if (!runner.session.window.Buttons(side).options.shown) {
        throw ScriptError("the More Options button is hidden");
    }
    return runner.session.window.OnOptionsButton(side);
}

void Choose(ScriptRunner& runner, Side side, const Menu& menu, const std::string& text) {
    const MenuItem* entry = menu.FindByPlainText(text);
    if (entry == nullptr) {
        throw ScriptError("no entry '" + text + "' in the region menu");
    }
    if (entry->grayed) {
        throw ScriptError("the entry '" + text + "' is grayed");
    }
    runner.session.window.Commands(side).Dispatch(entry->id);
}

void Options(ScriptRunner& runner, const Words& args) {
    ScriptRunner::RequireArgs(args, 2, static_cast<std::size_t>(-1),
                              "options PANE ENTRY [REPLY...]");
    const Side side = runner.ParsePane(args[0]);
    const Menu menu = OpenRegionMenu(runner, side);
    runner.SetReplies(args, 2);
    Choose(runner, side, menu, args[1]);
}

void Region(ScriptRunner& runner, const Words& args) {
    const char* usage = "region PANE REGION copy|zero|cancel [hands] [feet] [morphs]";
    ScriptRunner::RequireArgs(args, 3, 6, usage);
    const Side side = runner.ParsePane(args[0]);
    int entry = -1;
    if (args[1] != "none") {
        entry = RegionForm::FindEntry(args[1]);
        if (entry < 0) {
            throw ScriptError("'" + args[1] + "' is not an entry of the region list");
        }
    }
    const std::string& action = args[2];
    if (action != "copy" && action != "zero" && action != "cancel") {
        throw ScriptError(std::string("usage: ") + usage);
    }
    bool hands = false;
    bool feet = false;
    bool morphs = false;
    for (std::size_t i = 3; i < args.size(); ++i) {
        if (args[i] == "hands") {
            hands = true;
        } else if (args[i] == "feet") {
            feet = true;
        } else if (args[i] == "morphs") {
            morphs = true;
        } else {
            throw ScriptError(std::string("usage: ") + usage);
        }
    }
    const Menu menu = OpenRegionMenu(runner, side);
    runner.session.ui.SetRegionDialogEdit([=](RegionForm& form) {
        form.ChooseEntry(entry);
        if (action == "zero") {
            form.ClickZeroSettings();
        } else {
            form.ClickCopySettings();
        }
        form.leaveHands = hands;
        form.leaveFeet = feet;
        form.leaveMorphTargets = morphs;
        return action != "cancel";
    });
    try {
        Choose(runner, side, menu, "Copy and zero specific regions.");
    } catch (...) {
        runner.session.ui.SetRegionDialogEdit(nullptr);
        throw;
    }
    runner.session.ui.SetRegionDialogEdit(nullptr);
}

}  // namespace

void RegisterRegionActions(ScriptRunner& runner) {
    runner.AddAction("options", Options);
    runner.AddAction("region", Region);
}

}  // namespace tessary
