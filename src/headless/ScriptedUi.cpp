#include "headless/ScriptedUi.h"

#include <utility>

#include "edit/CombineDialogState.h"

namespace tessary {

std::string OneLine(const std::string& text) {
    std::string line;
    line.reserve(text.size());
    for (char c : text) {
        if (c == '\n') {
            line += "\\n";
        } else if (c != '\r') {
            line += c;
        }
    }
    return line;
}

ScriptedUi::ScriptedUi(std::ostream& log, std::ostream* details) : log_(log), details_(details) {}

void ScriptedUi::SetReplies(std::vector<std::string> replies) {
    replies_ = std::move(replies);
    nextReply_ = 0;
}

void ScriptedUi::SetPreferencesEdit(std::function<void(Preferences&)> edit) {
    preferencesEdit_ = std::move(edit);
}

std::optional<std::string> ScriptedUi::TakeReply() {
    if (nextReply_ >= replies_.size()) {
        return std::nullopt;
    }
    return replies_[nextReply_++];
}

void ScriptedUi::Fail(const std::string& message) {
    if (!scriptError_) {
        scriptError_ = message;
    }
}

MessageAnswer ScriptedUi::ShowMessage(const std::string& text, const std::string& caption,
                                      MessageButtons buttons, MessageIcon /*icon*/) {
    if (buttons == MessageButtons::Ok) {
        log_ << '[' << caption << "] " << OneLine(text) << '\n';
        errorShown_ = true;
        return MessageAnswer::Ok;
    }
    const bool yesNo = buttons == MessageButtons::YesNo;
    std::optional<std::string> reply = TakeReply();
    bool yes = true;
    if (reply && *reply == "no") {
        yes = false;
    } else if (reply && *reply != "yes") {
        Fail("reply '" + *reply + "' does not answer the question [" + caption + "]");
        yes = false;
    }
    log_ << '[' << caption << "] " << OneLine(text) << " -> " << (yes ? "yes" : "no") << '\n';
    if (yesNo) {
        return yes ? MessageAnswer::Yes : MessageAnswer::No;
    }
    return yes ? MessageAnswer::Ok : MessageAnswer::Cancel;
}

void ScriptedUi::ShowError(const std::string& text, const std::string& caption,
                           const std::string& detail) {
    ShowMessage(text, caption, MessageButtons::Ok, MessageIcon::Exclamation);
    if (details_ != nullptr) {
        // The log line comes first, whichever of the two streams a reader looks at.
        log_.flush();
        *details_ << "tessary-cli: " << OneLine(detail) << '\n';
        details_->flush();
    }
}

std::optional<std::string> ScriptedUi::FileDialog(const char* kind,
                                                  const FileDialogRequest& request) {
    std::optional<std::string> reply = TakeReply();
    if (!reply) {
        Fail(std::string("no reply left for the ") + kind + " dialog");
        return std::nullopt;
    }
    log_ << '[' << kind << "] " << request.proposedName << " -> " << *reply << '\n';
    if (*reply == "cancel") {
        return std::nullopt;
    }
    return reply;
}

std::optional<std::string> ScriptedUi::OpenFileDialog(const FileDialogRequest& request) {
    return FileDialog("open", request);
}

std::optional<std::string> ScriptedUi::SaveFileDialog(const FileDialogRequest& request) {
    return FileDialog("save", request);
}

// A run has no window to show progress in.
void ScriptedUi::OpenProgress(const std::string&, bool) {}
void ScriptedUi::SetProgressText(const std::string&) {}
void ScriptedUi::SetProgressPosition(int) {}
void ScriptedUi::CloseProgress() {}
void ScriptedUi::SetWaitCursor() {}
void ScriptedUi::SetArrowCursor() {}
void ScriptedUi::ShowAbout() {}
void ScriptedUi::OpenHelpPage() {}

bool ScriptedUi::AnswerModalDialog(const std::string& dialogName) {
    std::optional<std::string> reply = TakeReply();
    if (!reply || *reply == "yes") {
        return true;
    }
    if (*reply != "no") {
        Fail("reply '" + *reply + "' does not answer the " + dialogName + " dialog");
    }
    return false;
}

std::optional<Preferences> ScriptedUi::RunPreferencesDialog(const Preferences& current) {
    Preferences chosen = current;
    if (preferencesEdit_) {
        auto edit = std::move(preferencesEdit_);
        preferencesEdit_ = nullptr;
        edit(chosen);
        return chosen;
    }
    if (!AnswerModalDialog("Preferences")) {
        return std::nullopt;
    }
    return chosen;
}

void ScriptedUi::SetCombineScript(CombineScript script) {
    combineScript_ = std::move(script);
}

std::optional<CombineChoice> ScriptedUi::RunCombineDialog(const CombineRequest& request) {
    CombineDialogState dialog(request);
    if (!combineScript_) {
        if (!AnswerModalDialog("Combine")) {
            return std::nullopt;
        }
        return dialog.Combine();
    }
    const CombineScript script = std::move(*combineScript_);
    combineScript_.reset();
    if (script.cancel) {
        return std::nullopt;
    }
    dialog.newName = script.newName;
    if (script.add) {
        dialog.OnAdd();
    } else {
        dialog.OnSubtract();
    }
    for (const std::string& entry : script.entries) {
        const std::optional<std::size_t> index = dialog.FindEntry(entry);
        if (!index) {
            Fail("no entry '" + entry + "' in the Combine dialog");
            return std::nullopt;
        }
        dialog.SetSelected(*index, true);
    }
    return dialog.Combine();
}

void ScriptedUi::SetRegionDialogEdit(std::function<bool(RegionForm&)> edit) {
    regionDialogEdit_ = std::move(edit);
}

std::optional<RegionOptions> ScriptedUi::RunRegionDialog() {
    RegionForm form;
    if (regionDialogEdit_) {
        auto edit = std::move(regionDialogEdit_);
        regionDialogEdit_ = nullptr;
        if (!edit(form)) {
            return std::nullopt;
        }
        return form.Result();
    }
    if (!AnswerModalDialog("Region")) {
        return std::nullopt;
    }
    return form.Result();
}

}  // namespace tessary
