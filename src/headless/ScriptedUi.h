#pragma once

#include <cstddef>
#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "platform/Ui.h"
#include "regions/RegionForm.h"

namespace tessary {

// A Ui answered from a script. Each action hands over its reply words; every message box and
// every file dialog is logged as one line. Questions with no reply left are answered "yes"; a
// file dialog without a reply, or a reply that does not fit the dialog, is recorded as a script
// error (the port itself never throws) and answered as a cancel.
class ScriptedUi : public Ui {
  public:
    // `details`, when given, receives the detail of each error box as a line of its own
    // ("tessary-cli: figure.cr2: No such file or directory"), apart from the dialog log.
    explicit ScriptedUi(std::ostream& log, std::ostream* details = nullptr);

    // The replies for the next action, in order.
    void SetReplies(std::vector<std::string> replies);
    std::size_t UnusedReplies() const { return replies_.size() - nextReply_; }

    // The first script error since the last ClearScriptError, if any.
    const std::optional<std::string>& ScriptError() const { return scriptError_; }
    void ClearScriptError() { scriptError_.reset(); }
    // True once any message box that only informs (an error) was shown.
    bool ErrorShown() const { return errorShown_; }

    // How the next Preferences dialog is filled in; without one it takes a reply like a
    // question (yes: OK as opened, no: Cancel).
    void SetPreferencesEdit(std::function<void(Preferences&)> edit);

    // How the next Combine dialog is filled in (the `combine` action): Cancel, or the name,
    // Add or Subtract, and the entries to select (names or "#N"), then Combine. Without one the
    // dialog takes a reply like a question (yes: Combine as opened, no: Cancel).
    struct CombineScript {
        bool cancel = false;
        std::string newName;
        bool add = true;
        std::vector<std::string> entries;
    };
    void SetCombineScript(CombineScript script);
    // True while a script set for the Combine dialog has not been taken by one.
    bool CombineScriptPending() const { return combineScript_.has_value(); }
    void ClearCombineScript() { combineScript_.reset(); }

    MessageAnswer ShowMessage(const std::string& text, const std::string& caption,
                              MessageButtons buttons, MessageIcon icon) override;
    void ShowError(const std::string& text, const std::string& caption,
                   const std::string& detail) override;
    std::optional<std::string> OpenFileDialog(const FileDialogRequest& request) override;
    std::optional<std::string> SaveFileDialog(const FileDialogRequest& request) override;
    void OpenProgress(const std::string& text, bool owned) override;
    void SetProgressText(const std::string& text) override;
    void SetProgressPosition(int percent) override;
    void CloseProgress() override;
    void SetWaitCursor() override;
    void SetArrowCursor() override;
    std::optional<Preferences> RunPreferencesDialog(const Preferences& current) override;
    void ShowAbout() override;
    void OpenHelpPage() override;
    std::optional<CombineChoice> RunCombineDialog(const CombineRequest& request) override;

    // Takes the next reply as the answer of a modal dialog without an action of its own:
    // true for OK ("yes" or no reply left), false for Cancel ("no").
    bool AnswerModalDialog(const std::string& dialogName);

    // How the next region dialog is filled in: the edit sets the form and returns true for
    // OK, false for Cancel. Without one the dialog takes a reply like a question (yes: OK as
    // opened, no: Cancel).
    void SetRegionDialogEdit(std::function<bool(RegionForm&)> edit);
    std::optional<RegionOptions> RunRegionDialog() override;

  protected:
    std::optional<std::string> TakeReply();
    void Fail(const std::string& message);
    std::optional<std::string> FileDialog(const char* kind, const FileDialogRequest& request);

    std::ostream& log_;
    std::ostream* details_;

  private:
    std::vector<std::string> replies_;
    std::size_t nextReply_ = 0;
    std::optional<std::string> scriptError_;
    bool errorShown_ = false;
    std::function<void(Preferences&)> preferencesEdit_;
    std::optional<CombineScript> combineScript_;
    std::function<bool(RegionForm&)> regionDialogEdit_;
};

// Writes a message text on one line, line breaks as "\n".
std::string OneLine(const std::string& text);

}  // namespace tessary
