#pragma once

#include <QPointer>
#include <QString>
#include <QStringList>
#include <optional>

#include "ExportingWindow.h"
#include "ProgressWindow.h"
#include "platform/Ui.h"

class QWidget;

namespace tessary {

// The Ui port with Qt widgets: message boxes, file dialogs, the progress window, the cursor,
// the Preferences dialog, the About box and the help page. Dialogs are owned by `window`
// (the main window once it exists).
class QtUi : public Ui {
  public:
    explicit QtUi(QWidget* window = nullptr);
    ~QtUi() override;

    void SetWindow(QWidget* window) { window_ = window; }
    QWidget* Window() const { return window_; }

    MessageAnswer ShowMessage(const std::string& text, const std::string& caption,
                              MessageButtons buttons, MessageIcon icon) override;
    // The box of ShowMessage, with the detail behind its "Show Details..." button.
    void ShowError(const std::string& text, const std::string& caption,
                   const std::string& detail) override;
    std::optional<std::string> OpenFileDialog(const FileDialogRequest& request) override;
    std::optional<std::string> SaveFileDialog(const FileDialogRequest& request) override;

    void OpenProgress(const std::string& text, bool owned) override;
    void SetProgressText(const std::string& text) override;
    void SetProgressPosition(int percent) override;
    void CloseProgress() override;
    // The open progress window, or null.
    ProgressWindow* Progress() const { return progress_; }

    void OpenExportingWindow(const std::string& path) override;
    void CloseExportingWindow() override;
    // The open Exporting window, or null.
    ExportingWindow* Exporting() const { return exporting_; }

    void SetWaitCursor() override;
    void SetArrowCursor() override;

    std::optional<Preferences> RunPreferencesDialog(const Preferences& current) override;
    void ShowAbout() override;
    void OpenHelpPage() override;
    bool ShowHelpPage() override;
    std::optional<CombineChoice> RunCombineDialog(const CombineRequest& request) override;
    std::optional<RegionOptions> RunRegionDialog() override;

  private:
    MessageAnswer RunMessageBox(const std::string& text, const std::string& caption,
                                MessageButtons buttons, MessageIcon icon,
                                const std::string& detail);
    std::optional<std::string> RunFileDialog(const FileDialogRequest& request, bool save);

    QPointer<QWidget> window_;
    QPointer<ProgressWindow> progress_;
    QPointer<ExportingWindow> exporting_;
};

// "Text (*.ext)|*.ext|...||" as the name filters of a Qt file dialog, in the same order.
QStringList NameFilters(const std::string& filter);
// The path with ".extension" appended when its file name has no extension of its own.
QString WithDefaultExtension(const QString& path, const std::string& extension);
// The extension a save dialog's selected name filter stands for, when it names exactly one
// pattern "*.ext" ("Compressed Files (*.crz)" gives "crz"); otherwise `fallback`.
std::string ExtensionOfNameFilter(const QString& nameFilter, const std::string& fallback);

// How the help page is opened: the HTML opener found on the PATH, given the page as its one
// argument. The page is the one beside the executable (a build tree), else the installed one
// in share/tessary/ beside the executable's bin/. Nothing when the page or the opener is
// missing.
struct HelpLaunch {
    QString program;
    QStringList arguments;
};
std::optional<HelpLaunch> FindHelpLaunch(const QString& programDirectory);
// The help page FindHelpLaunch opens, or empty when there is none.
QString FindHelpPage(const QString& programDirectory);

}  // namespace tessary
