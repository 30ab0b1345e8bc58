// The action of the OBJ Geometry File button: obj.
#include "cli/ScriptRunner.h"

namespace tessary {

namespace {

void Obj(ScriptRunner& runner, const Words& args) {
    ScriptRunner::RequireArgs(args, 2, 2, "obj PANE FILE");
    Side side = runner.ParsePane(args[0]);
    const ButtonState& button = runner.session.window.Buttons(side).obj;
    if (!button.shown) {
        throw ScriptError("the OBJ Geometry File button is hidden");
    }
    if (!button.enabled) {
        throw ScriptError("the OBJ Geometry File button is disabled");
    }
    runner.SetReplies({args[1]});
    runner.session.window.OnObjButton(side);
}

}  // namespace

void RegisterGeometryActions(ScriptRunner& runner) {
    runner.AddAction("obj", Obj);
}

}  // namespace tessary
