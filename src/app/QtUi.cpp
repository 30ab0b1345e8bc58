#include "QtUi.h"

#include <QApplication>
#include <QCoreApplication>
#include <QDir>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QProcess>
#include <QRegularExpression>
#include <QScreen>
#include <QStandardPaths>

#include "AboutDialog.h"
#include "CombineDialog.h"
#include "PreferencesDialog.h"
#include "ProgressWindow.h"
#include "RegionDialog.h"
#include "TextCodec.h"

namespace tessary {

QStringList NameFilters(const std::string& filter) {
    const QStringList parts = QString::fromUtf8(filter).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i < parts.size(); i += 2) {
        const QString description = parts[i].trimmed();
        if (description.isEmpty()) {
            break;  // "||" ends the list
        }
        QString patterns = i + 1 < parts.size() ? parts[i + 1].trimmed() : QString();
        if (patterns.isEmpty()) {
            patterns = QStringLiteral("*");
        }
        // Qt reads the patterns from the description's last parentheses, blank-separated: a
        // description that names its patterns gets them in that form, any other gets them
        // appended.
        QString shown = description;
        const QString named = QLatin1Char('(') + patterns + QLatin1Char(')');
        if (shown.endsWith(named)) {
            shown.chop(named.size());
            shown = shown.trimmed();
        }
        patterns.replace(QLatin1Char(';'), QLatin1Char(' '));
        filters.append(shown + QStringLiteral(" (") + patterns + QLatin1Char(')'));
    }
    return filters;
}

QString WithDefaultExtension(const QString& path, const std::string& extension) {
    if (extension.empty() || path.isEmpty()) {
        return path;
    }
    const QString name = QFileInfo(path).fileName();
    if (name.isEmpty() || name.contains(QLatin1Char('.'))) {
        return path;
    }
    return path + QLatin1Char('.') + QString::fromUtf8(extension);
}

std::string ExtensionOfNameFilter(const QString& nameFilter, const std::string& fallback) {
    const qsizetype open = nameFilter.lastIndexOf(QLatin1Char('('));
    const qsizetype close = nameFilter.lastIndexOf(QLatin1Char(')'));
    if (open < 0 || close < open) {
        return fallback;
    }
    const QString pattern = nameFilter.mid(open + 1, close - open - 1).trimmed();
    const QString extension = pattern.mid(2);
    static const QRegularExpression plainExtension(QStringLiteral("^[^ *?;.]+$"));
    if (!pattern.startsWith(QStringLiteral("*.")) || !plainExtension.match(extension).hasMatch()) {
        return fallback;
    }
    return extension.toStdString();
}

QString FindHelpPage(const QString& programDirectory) {
    if (programDirectory.isEmpty()) {
        return {};
    }
    const QDir directory(programDirectory);
    for (const QString& candidate :
         {directory.filePath(QStringLiteral("help.html")),
          directory.filePath(QStringLiteral("../share/tessary/help.html"))}) {
        if (QFileInfo(candidate).isFile()) {
            return QDir::cleanPath(candidate);
        }
    }
    return {};
}

std::optional<HelpLaunch> FindHelpLaunch(const QString& programDirectory) {
    const QString page = FindHelpPage(programDirectory);
    if (page.isEmpty()) {
        return std::nullopt;
    }
    const QString opener = QStandardPaths::findExecutable(QStringLiteral("xdg-open"));
    if (opener.isEmpty()) {
        return std::nullopt;
    }
    return HelpLaunch{opener, {page}};
}

QtUi::QtUi(QWidget* window) : window_(window) {}

QtUi::~QtUi() {
    CloseProgress();
}

MessageAnswer QtUi::ShowMessage(const std::string& text, const std::string& caption,
                                MessageButtons buttons, MessageIcon icon) {
    return RunMessageBox(text, caption, buttons, icon, {});
}

void QtUi::ShowError(const std::string& text, const std::string& caption,
                     const std::string& detail) {
    RunMessageBox(text, caption, MessageButtons::Ok, MessageIcon::Exclamation, detail);
}

MessageAnswer QtUi::RunMessageBox(const std::string& text, const std::string& caption,
                                  MessageButtons buttons, MessageIcon icon,
                                  const std::string& detail) {
    QMessageBox::StandardButtons standard = QMessageBox::Ok;
    MessageAnswer dismissed = MessageAnswer::Ok;
    switch (buttons) {
        case MessageButtons::Ok:
            break;
        case MessageButtons::OkCancel:
            standard = QMessageBox::Ok | QMessageBox::Cancel;
            dismissed = MessageAnswer::Cancel;
            break;
        case MessageButtons::YesNo:
            standard = QMessageBox::Yes | QMessageBox::No;
            dismissed = MessageAnswer::No;
            break;
    }
    QMessageBox::Icon shown = QMessageBox::NoIcon;
    if (icon == MessageIcon::Exclamation) {
        shown = QMessageBox::Warning;
    } else if (icon == MessageIcon::Information) {
        shown = QMessageBox::Information;
    }
    // A question asked from inside a modal dialog (deleting a line in Block Info) belongs to
    // that dialog, so it opens over it rather than beside it.
    QWidget* owner = QApplication::activeModalWidget();
    if (owner == nullptr) {
        owner = window_;
    }
    QMessageBox box(shown, DecodeText(caption), DecodeText(text), standard, owner);
    box.setTextFormat(Qt::PlainText);
    if (!detail.empty()) {
        box.setDetailedText(DecodeText(detail));
    }
    // A question asked in the middle of a busy command (a delete waits under the hourglass)
    // is answered with the arrow; the hourglass comes back for the rest of the command.
    const bool busy = QGuiApplication::overrideCursor() != nullptr;
    if (busy) {
        QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
    }
    box.exec();
    if (busy) {
        QGuiApplication::restoreOverrideCursor();
    }
    switch (box.standardButton(box.clickedButton())) {
        case QMessageBox::Ok:
            return MessageAnswer::Ok;
        case QMessageBox::Cancel:
            return MessageAnswer::Cancel;
        case QMessageBox::Yes:
            return MessageAnswer::Yes;
        case QMessageBox::No:
            return MessageAnswer::No;
        default:
            return dismissed;
    }
}

std::optional<std::string> QtUi::RunFileDialog(const FileDialogRequest& request, bool save) {
    QFileDialog dialog(window_);
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save || !request.fileMustExist ? QFileDialog::AnyFile
                                                      : QFileDialog::ExistingFile);
    // The overwrite question is asked below, after the default extension is in place, so
    // that it concerns the file that will really be written.
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    const QStringList filters = NameFilters(request.filter);
    if (!filters.isEmpty()) {
        dialog.setNameFilters(filters);
        dialog.selectNameFilter(filters.first());
    }
    if (!request.defaultExtension.empty() && !save) {
        dialog.setDefaultSuffix(QString::fromUtf8(request.defaultExtension));
    }
    if (!request.proposedName.empty()) {
        dialog.selectFile(QString::fromUtf8(request.proposedName));
    }
    while (dialog.exec() == QDialog::Accepted) {
        const QStringList chosen = dialog.selectedFiles();
        if (chosen.isEmpty() || chosen.first().isEmpty()) {
            return std::nullopt;
        }
        // A save dialog that offers a file both plain and compressed completes a bare name
        // with the kind the user picked.
        const std::string extension =
            save && !request.defaultExtension.empty()
                ? ExtensionOfNameFilter(dialog.selectedNameFilter(), request.defaultExtension)
                : request.defaultExtension;
        const QString path = WithDefaultExtension(chosen.first(), extension);
        const QFileInfo info(path);
        if (request.pathMustExist && !info.absoluteDir().exists()) {
            QMessageBox::warning(window_, dialog.windowTitle(),
                                 QStringLiteral("%1\nThe path does not exist.\nCheck the path and "
                                                "try again.")
                                     .arg(QDir::toNativeSeparators(info.absolutePath())));
            continue;
        }
        if (request.createPrompt && !info.exists()) {
            const auto answer = QMessageBox::question(
                window_, dialog.windowTitle(),
                QStringLiteral("%1\nThis file does not exist.\nDo you want to create it?")
                    .arg(info.fileName()),
                QMessageBox::Yes | QMessageBox::No, QMessageBox::Yes);
            if (answer != QMessageBox::Yes) {
                dialog.selectFile(path);
                continue;
            }
        }
        if (save && request.overwritePrompt && info.exists()) {
            const auto answer = QMessageBox::warning(
                window_, dialog.windowTitle(),
                QStringLiteral("%1 already exists.\nDo you want to replace it?")
                    .arg(QFileInfo(path).fileName()),
                QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
            if (answer != QMessageBox::Yes) {
                dialog.selectFile(path);
                continue;
            }
        }
        return EncodeText(path);
    }
    return std::nullopt;
}

std::optional<std::string> QtUi::OpenFileDialog(const FileDialogRequest& request) {
    return RunFileDialog(request, false);
}

std::optional<std::string> QtUi::SaveFileDialog(const FileDialogRequest& request) {
    return RunFileDialog(request, true);
}

void QtUi::OpenProgress(const std::string& text, bool owned) {
    CloseProgress();
    progress_ = new ProgressWindow(owned ? window_.data() : nullptr);
    progress_->setAttribute(Qt::WA_DeleteOnClose);
    // The keyboard stays with the window the user works in.
    progress_->setAttribute(Qt::WA_ShowWithoutActivating);
    progress_->SetText(DecodeText(text));
    const QWidget* over = owned ? window_.data() : nullptr;
    QRect area;
    if (over != nullptr && over->isVisible()) {
        area = over->frameGeometry();
    } else if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        area = screen->availableGeometry();
    }
    if (area.isValid()) {
        progress_->move(area.center() - progress_->rect().center());
    }
    progress_->show();
    // Let the window appear and paint before the operation takes the thread; input stays
    // queued.
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    progress_->repaint();
}

void QtUi::SetProgressText(const std::string& text) {
    if (progress_ != nullptr) {
        progress_->SetText(DecodeText(text));
    }
}

void QtUi::SetProgressPosition(int percent) {
    if (progress_ == nullptr) {
        return;
    }
    const int before = progress_->Position();
    progress_->SetPosition(percent);
    if (progress_->Position() != before) {
        // The work runs on this thread, so the window system's requests to draw the window
        // (it is shown, uncovered, moved) wait in the queue until it ends: take them here, at
        // most once per percent. Input stays queued.
        QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    }
}

void QtUi::CloseProgress() {
    if (progress_ != nullptr) {
        delete progress_.data();
        progress_ = nullptr;
    }
}

void QtUi::OpenExportingWindow(const std::string& path) {
    CloseExportingWindow();
    exporting_ = new ExportingWindow(window_);
    exporting_->SetPath(DecodeText(path));
    exporting_->setAttribute(Qt::WA_ShowWithoutActivating);
    exporting_->show();
    QCoreApplication::processEvents(QEventLoop::ExcludeUserInputEvents);
    exporting_->repaint();
}

void QtUi::CloseExportingWindow() {
    if (exporting_ != nullptr) {
        delete exporting_.data();
        exporting_ = nullptr;
    }
}

void QtUi::SetWaitCursor() {
    if (QGuiApplication::overrideCursor() != nullptr) {
        QGuiApplication::changeOverrideCursor(Qt::WaitCursor);
    } else {
        QGuiApplication::setOverrideCursor(Qt::WaitCursor);
    }
}

void QtUi::SetArrowCursor() {
    while (QGuiApplication::overrideCursor() != nullptr) {
        QGuiApplication::restoreOverrideCursor();
    }
}

std::optional<Preferences> QtUi::RunPreferencesDialog(const Preferences& current) {
    PreferencesDialog dialog(current, window_);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.Values();
}

std::optional<CombineChoice> QtUi::RunCombineDialog(const CombineRequest& request) {
    CombineDialog dialog(request, window_);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.Choice();
}

void QtUi::ShowAbout() {
    AboutDialog about(window_);
    about.exec();
}

void QtUi::OpenHelpPage() {
    ShowHelpPage();
}

bool QtUi::ShowHelpPage() {
    const auto launch = FindHelpLaunch(QCoreApplication::applicationDirPath());
    return launch && QProcess::startDetached(launch->program, launch->arguments);
}

std::optional<RegionOptions> QtUi::RunRegionDialog() {
    RegionDialog dialog(window_);
    if (dialog.exec() != QDialog::Accepted) {
        return std::nullopt;
    }
    return dialog.Result();
}

}  // namespace tessary
