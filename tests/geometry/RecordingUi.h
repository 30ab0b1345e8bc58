#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "platform/Ui.h"

namespace tessary {

// A Ui that answers file dialogs from a queue (an empty answer cancels) and logs every call
// as one line, so tests can check what the user would have seen, in order.
class RecordingUi : public Ui {
  public:
    std::deque<std::optional<std::string>> fileAnswers;
    std::vector<std::string> log;
    std::vector<FileDialogRequest> dialogs;

    MessageAnswer ShowMessage(const std::string& text, const std::string& caption, MessageButtons,
                              MessageIcon icon) override {
        log.push_back("message [" + caption + "] " + text +
                      (icon == MessageIcon::Exclamation ? " (!)" : ""));
        return MessageAnswer::Ok;
    }
    std::optional<std::string> OpenFileDialog(const FileDialogRequest& request) override {
        return Answer("open", request);
    }
    std::optional<std::string> SaveFileDialog(const FileDialogRequest& request) override {
        return Answer("save", request);
    }
    void OpenProgress(const std::string& text, bool owned) override {
        log.push_back("progress open " + text + (owned ? " (owned)" : ""));
    }
    void SetProgressText(const std::string& text) override { log.push_back("progress " + text); }
    void SetProgressPosition(int percent) override { positions.push_back(percent); }
    void CloseProgress() override { log.push_back("progress close"); }
    void OpenExportingWindow(const std::string& path) override {
        log.push_back("exporting " + path);
    }
    void CloseExportingWindow() override { log.push_back("exporting close"); }
    void SetWaitCursor() override { log.push_back("wait"); }
    void SetArrowCursor() override { log.push_back("arrow"); }
    std::optional<Preferences> RunPreferencesDialog(const Preferences&) override {
        return std::nullopt;
    }
    void ShowAbout() override {}
    void OpenHelpPage() override {}

    std::vector<int> positions;

    // Only the message boxes, in order.
    std::vector<std::string> Messages() const {
        std::vector<std::string> messages;
        for (const std::string& line : log) {
            if (line.rfind("message ", 0) == 0) {
                messages.push_back(line);
            }
        }
        return messages;
    }

  private:
    std::optional<std::string> Answer(const char* kind, const FileDialogRequest& request) {
        dialogs.push_back(request);
        std::optional<std::string> answer;
        if (!fileAnswers.empty()) {
            answer = fileAnswers.front();
            fileAnswers.pop_front();
        }
        log.push_back(std::string(kind) + " " + request.proposedName + " -> " +
                      (answer ? *answer : "cancel"));
        return answer;
    }
};

}  // namespace tessary
