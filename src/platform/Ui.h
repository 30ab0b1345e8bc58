#pragma once

#include <optional>
#include <string>

#include "platform/CombineChoice.h"
#include "platform/Preferences.h"
#include "platform/RegionOptions.h"

namespace tessary {

enum class MessageButtons { Ok, OkCancel, YesNo };
enum class MessageIcon { None, Exclamation, Information };
enum class MessageAnswer { Ok, Cancel, Yes, No };

// What a file dialog is asked to show. `filter` is in the "Text (*.ext)|*.ext|...||" form the
// file formats are described in; each face converts it to its own form.
struct FileDialogRequest {
    std::string filter;
    std::string defaultExtension;  // without the "."; empty: none
    std::string proposedName;      // initial file name; empty: none
    bool hideReadOnly = false;
    bool overwritePrompt = false;
    bool fileMustExist = false;
    bool pathMustExist = false;
    bool createPrompt = false;  // ask before a file that does not exist is created
};

// Everything the user sees or answers goes through this port: message boxes, file dialogs, the
// progress window, the cursor and the modal dialogs. Implementations never throw; a dialog that
// is cancelled returns nothing.
class Ui {
  public:
    virtual ~Ui() = default;

    virtual MessageAnswer ShowMessage(const std::string& text, const std::string& caption,
                                      MessageButtons buttons, MessageIcon icon) = 0;
    // An error box that only informs (OK, exclamation icon) with what went wrong behind it:
    // `detail` names the file and the system's reason ("figure.cr2: No such file or
    // directory"). The box shows `text` and `caption` as ShowMessage does; each face puts the
    // detail where its user can read it. Without that, the box alone.
    virtual void ShowError(const std::string& text, const std::string& caption,
                           const std::string& detail) {
        (void)detail;
        ShowMessage(text, caption, MessageButtons::Ok, MessageIcon::Exclamation);
    }

    // Returns the chosen full path, or nothing when cancelled.
    virtual std::optional<std::string> OpenFileDialog(const FileDialogRequest& request) = 0;
    virtual std::optional<std::string> SaveFileDialog(const FileDialogRequest& request) = 0;

    // The modeless progress window: opened, moved and closed by the operation that shows it.
    // `owned` is false where the window has no owner (saving).
    virtual void OpenProgress(const std::string& text, bool owned) = 0;
    virtual void SetProgressText(const std::string& text) = 0;
    virtual void SetProgressPosition(int percent) = 0;
    virtual void CloseProgress() = 0;

    // The modeless "Exporting Obj" window that names the file an OBJ export writes. Purely
    // visual: a face without such a window shows nothing.
    virtual void OpenExportingWindow(const std::string& path) { (void)path; }
    virtual void CloseExportingWindow() {}

    // The date and time an OBJ export is stamped with, as "%A, %B %d, %Y: %H:%M:%S" in English:
    // the local time now, or the moment `fixedExportTime` holds (seconds since 1970 UTC, shown
    // in UTC) when it is set, which makes exports reproducible.
    virtual std::string ExportDateText();
    std::optional<long long> fixedExportTime;

    virtual void SetWaitCursor() = 0;
    virtual void SetArrowCursor() = 0;

    // The Preferences dialog opened on `current`; the values on OK, nothing on Cancel.
    virtual std::optional<Preferences> RunPreferencesDialog(const Preferences& current) = 0;
    virtual void ShowAbout() = 0;
    // Opens the help page in the user's browser; nothing happens when it cannot.
    virtual void OpenHelpPage() = 0;
    // Opens the help page as OpenHelpPage does and tells whether it could (a page and a
    // program to show it were found and the program started). A face that cannot tell
    // reports success.
    virtual bool ShowHelpPage() {
        OpenHelpPage();
        return true;
    }

    // The Combine Morph Targets dialog: the choice on Combine, nothing on Cancel. A face that
    // has no such dialog answers as a Cancel would.
    virtual std::optional<CombineChoice> RunCombineDialog(const CombineRequest& request) {
        (void)request;
        return std::nullopt;
    }

    // The region dialog ("Options"), opened fresh: the choices on OK, nothing on Cancel. A
    // face without the dialog cancels it.
    virtual std::optional<RegionOptions> RunRegionDialog() { return std::nullopt; }
};

}  // namespace tessary
