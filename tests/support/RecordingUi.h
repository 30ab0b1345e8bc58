#pragma once

// A Ui for tests that writes down everything it is asked to show, one line per call, so that a
// test can compare the whole exchange, and answers message boxes and file dialogs from queues.

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/Ui.h"

namespace tessary::test {

class RecordingUi : public Ui {
  public:
    // Answers of the file dialogs in turn (nullopt: the user cancels). A dialog with no answer
    // left is a test failure, and is cancelled.
    std::deque<std::optional<std::string>> fileAnswers;
    // Answers of the message boxes in turn; OK when none is left.
    std::deque<MessageAnswer> messageAnswers;
    std::vector<FileDialogRequest> dialogs;
    std::vector<std::string> log;
    std::vector<int> positions;

    MessageAnswer ShowMessage(const std::string& text, const std::string& caption, MessageButtons,
                              MessageIcon icon) override {
        log.push_back("message [" + caption + "] " + text +
                      (icon == MessageIcon::Exclamation ? " (!)" : ""));
        if (messageAnswers.empty()) {
            return MessageAnswer::Ok;
        }
        const MessageAnswer answer = messageAnswers.front();
        messageAnswers.pop_front();
        return answer;
    }
    std::optional<std::string> OpenFileDialog(const FileDialogRequest& request) override {
        return Answer("open", request);
    }
    std::optional<std::string> SaveFileDialog(const FileDialogRequest& request) override {
        return Answer("save", request);
    }
    void OpenProgress(const std::string& text, bool owned) override {
        log.push_back("progress " + text + (owned ? " (owned)" : " (no owner)"));
    }
    void SetProgressText(const std::string& text) override { log.push_back("text " + text); }
    void SetProgressPosition(int percent) override { positions.push_back(percent); }
    void CloseProgress() override { log.push_back("close progress"); }
    void OpenExportingWindow(const std::string& path) override {
        log.push_back("exporting " + path);
    }
    void CloseExportingWindow() override { log.push_back("exporting close"); }
    void SetWaitCursor() override { log.push_back("wait cursor"); }
    void SetArrowCursor() override { log.push_back("arrow cursor"); }
    std::optional<Preferences> RunPreferencesDialog(const Preferences&) override {
        log.push_back("preferences");
        return std::nullopt;
    }
    void ShowAbout() override { log.push_back("about"); }
    void OpenHelpPage() override { log.push_back("help"); }

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
    // Logged as "open PROPOSED -> ANSWER" ("cancel" when there is none).
    std::optional<std::string> Answer(const char* kind, const FileDialogRequest& request) {
        dialogs.push_back(request);
        std::optional<std::string> answer;
        if (fileAnswers.empty()) {
            ADD_FAILURE() << "unexpected " << kind << " dialog";
        } else {
            answer = fileAnswers.front();
            fileAnswers.pop_front();
        }
        log.push_back(std::string(kind) + " " + request.proposedName + " -> " +
                      (answer ? *answer : "cancel"));
        return answer;
    }
};

}  // namespace tessary::test
