#include "cli/ScriptRunner.h"

#include <new>
#include <utility>

#include "cli/TreePrinter.h"

namespace tessary {

ScriptRunner::ScriptRunner(Session& session, std::string scriptName)
    : session(session), scriptName_(std::move(scriptName)) {
    RegisterCoreActions(*this);
    RegisterCommandActions(*this);
    RegisterGeometryActions(*this);
    RegisterCombineActions(*this);
    RegisterRegionActions(*this);
}

void ScriptRunner::AddAction(const std::string& name, Action action) {
    actions_[name] = std::move(action);
}

int ScriptRunner::Run(const std::vector<ScriptLine>& lines, std::ostream& err,
                      const std::optional<Malformed>& malformed) {
    int lastLine = 0;
    try {
        for (const ScriptLine& line : lines) {
            lastLine = line.number;
            session.ui.SetReplies({});
            session.ui.ClearScriptError();
            try {
                RunLine(line.words);
            } catch (const std::bad_alloc&) {
                // As in the window: the action ends with the message box, the run goes on;
                // the replies it did not get to are dropped with it.
                session.ui.SetReplies({});
                ShowOutOfMemory(session.ui);
            }
            CheckUi();
            if (stopped_) {
                break;
            }
        }
        if (malformed && !stopped_) {
            lastLine = malformed->line;
            throw ScriptError(malformed->message);
        }
        if (mode_ && !stopped_) {
            throw ScriptError("the script ends with the " + modeName_ + " dialog still open");
        }
    } catch (const ScriptError& error) {
        session.out.flush();
        err << "tessary-cli: " << scriptName_ << ':' << lastLine << ": " << error.what() << '\n';
        return 2;
    }
    return session.ExitStatus();
}

void ScriptRunner::RunLine(const Words& words) {
    if (mode_) {
        Mode mode = mode_;
        mode(*this, words);
        return;
    }
    auto found = actions_.find(words.front());
    if (found == actions_.end()) {
        throw ScriptError("unknown action '" + words.front() + "'");
    }
    found->second(*this, Words(words.begin() + 1, words.end()));
}

void ScriptRunner::CheckUi() {
    if (session.ui.ScriptError()) {
        throw ScriptError(*session.ui.ScriptError());
    }
    if (session.ui.UnusedReplies() > 0) {
        throw ScriptError("a reply was not taken by any dialog");
    }
}

Side ScriptRunner::ParsePane(const std::string& word) const {
    if (word == "left") {
        return Side::Left;
    }
    if (word == "right") {
        return Side::Right;
    }
    throw ScriptError("'" + word + "' is not a pane (left or right)");
}

TreeItem ScriptRunner::ResolveItem(Side side, const std::string& path) const {
    return ResolveItem(session.Control(side), path);
}

TreeItem ScriptRunner::ResolveItem(TreeControl& control, const std::string& path) const {
    TreeItem item = FindItemByLabels(control, SplitItemPath(path));
    if (!item) {
        throw ScriptError("no item at '" + path + "'");
    }
    return item;
}

void ScriptRunner::RequireArgs(const Words& args, std::size_t min, std::size_t max,
                               const char* usage) {
    if (args.size() < min || args.size() > max) {
        throw ScriptError(std::string("usage: ") + usage);
    }
}

void ScriptRunner::SetReplies(const Words& args, std::size_t first) {
    SetReplies(first < args.size()
                   ? Words(args.begin() + static_cast<std::ptrdiff_t>(first), args.end())
                   : Words{});
}

void ScriptRunner::SetReplies(Words replies) {
    session.ui.SetReplies(std::move(replies));
}

void ScriptRunner::EnterMode(std::string name, Mode mode) {
    modeName_ = std::move(name);
    mode_ = std::move(mode);
}

void ScriptRunner::LeaveMode() {
    modeName_.clear();
    mode_ = nullptr;
}

}  // namespace tessary
