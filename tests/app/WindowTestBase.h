#pragma once

// What the window tests share: their data folder, a Qt Ui whose file dialogs are answered from
// a list, and a main window over a profile store in a temporary folder.

#include <QDir>
#include <QObject>
#include <QSettings>
#include <QTemporaryDir>
#include <deque>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "app/ProgressWindow.h"
#include "app/QtMainWindow.h"
#include "app/QtProfileStore.h"
#include "app/QtUi.h"

namespace tessary::test {

inline const QString kData = QStringLiteral(TESSARY_APP_TEST_DATA_DIR);

inline std::string DataFile(const char* name) {
    return QDir(kData).filePath(QString::fromLatin1(name)).toStdString();
}

// The Qt Ui with file dialogs answered from lists (an empty list cancels), and the progress it was
// given recorded.
class TestUi : public QtUi {
  public:
    std::optional<std::string> OpenFileDialog(const FileDialogRequest&) override {
        return Next(openAnswers);
    }

    std::optional<std::string> SaveFileDialog(const FileDialogRequest&) override {
        return Next(saveAnswers);
    }

    void SetProgressPosition(int percent) override {
        QtUi::SetProgressPosition(percent);
        if (Progress() != nullptr) {
            const bool moved = positions.empty() || positions.back() != Progress()->Position();
            positions.push_back(Progress()->Position());
            shownWhileMoving = shownWhileMoving && Progress()->isVisible();
            if (onProgress && moved) {
                onProgress(*Progress());
            }
        }
    }

    std::deque<std::string> openAnswers;
    std::deque<std::string> saveAnswers;
    // Called from the progress hook with the open window whenever its bar moved, while the
    // work runs.
    std::function<void(ProgressWindow&)> onProgress;
    std::vector<int> positions;
    bool shownWhileMoving = true;

  private:
    static std::optional<std::string> Next(std::deque<std::string>& answers) {
        if (answers.empty()) {
            return std::nullopt;
        }
        std::string answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

// A test object whose every test gets a new main window; preferences go to a temporary folder
// so a test never reads or changes the user's.
class WindowTestBase : public QObject {
  protected:
    // Returns false when the temporary folder cannot be made.
    bool OpenWindow() {
        home_ = std::make_unique<QTemporaryDir>();
        if (!home_->isValid()) {
            return false;
        }
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, home_->path());
        store_ = std::make_unique<QtProfileStore>(QStringLiteral("Tessary"),
                                                  QStringLiteral("tessary-test"));
        ui_ = std::make_unique<TestUi>();
        window_ = std::make_unique<QtMainWindow>(*ui_, *store_);
        ui_->SetWindow(window_.get());
        return true;
    }

    void CloseWindow() {
        window_.reset();
        ui_.reset();
        store_.reset();
        home_.reset();
    }

    std::unique_ptr<QTemporaryDir> home_;
    std::unique_ptr<QtProfileStore> store_;
    std::unique_ptr<TestUi> ui_;
    std::unique_ptr<QtMainWindow> window_;
};

}  // namespace tessary::test
