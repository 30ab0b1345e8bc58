#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "platform/Ui.h"

namespace tessary::test {

// A Ui that answers file dialogs from a queue and writes down everything it is asked to show,
// one line per call, so that a test can compare the whole exchange.
class RecordingUi : public Ui {
  public:
    std::deque<std::optional<std::string>> fileAnswers;  // nullopt: the user cancels
    std::vector<FileDialogRequest> dialogs;
    std::vector<std::string> log;
    std::vector<int> positions;

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
        log.push_back("progress " + text + (owned ? " (owned)" : " (no owner)"));
    }
    void SetProgressText(const std::string& text) override { log.push_back("text " + text); }
    void SetProgressPosition(int percent) override { positions.push_back(percent); }
    void CloseProgress() override { log.push_back("close progress"); }
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
    std::optional<std::string> Answer(const std::string& kind, const FileDialogRequest& request) {
        dialogs.push_back(request);
        log.push_back(kind + " dialog");
        if (fileAnswers.empty()) {
            ADD_FAILURE() << "unexpected " << kind << " dialog";
            return std::nullopt;
        }
        std::optional<std::string> answer = fileAnswers.front();
        fileAnswers.pop_front();
        return answer;
    }
};

}  // namespace tessary::test
