#include "pane/FigureFile.h"

#include <algorithm>
#include <cerrno>
#include <new>
#include <optional>
#include <utility>

#include "model/Names.h"
#include "model/TextIO.h"
#include "pane/FigureTree.h"
#include "platform/MainWindowLink.h"
#include "platform/ProfileStore.h"
#include "platform/Ui.h"

namespace tessary {

namespace {

// Each kind of file beside its gzip-compressed form.
constexpr const char* kOpenFilter =
    "Character Files (*.cr2;*.crz)|*.cr2;*.crz|Poser Scene Files (*.pz3;*.pzz)|*.pz3;*.pzz|"
    "Pose Files (*.pz2;*.p2z)|*.pz2;*.p2z|Hand Files (*.hd2;*.hdz)|*.hd2;*.hdz|"
    "Face Files (*.fc2;*.fcz)|*.fc2;*.fcz|Prop Files (*.pp2;*.ppz)|*.pp2;*.ppz||";

// The plain extensions and the extensions of their compressed forms, in pairs.
constexpr std::string_view kCompressedPairs[][2] = {{"cr2", "crz"}, {"pz3", "pzz"}, {"pz2", "p2z"},
                                                    {"hd2", "hdz"}, {"fc2", "fcz"}, {"pp2", "ppz"},
                                                    {"obj", "obz"}};

// A progress record whose hook moves the progress bar of the window `ui` shows.
Progress ProgressOn(Ui& ui, double total) {
    Progress progress;
    progress.hook = [&ui](int percent) { ui.SetProgressPosition(percent); };
    progress.total = total;
    progress.count = 0;
    return progress;
}

}  // namespace

FigureFile::FigureFile(Ui& ui, ProfileStore& store) : ui(ui), store(store) {
    LoadPreferences();
}

FigureFile::~FigureFile() = default;

void FigureFile::LoadPreferences() {
    const Preferences read = Preferences::Read(store);
    confirmDelete = read.confirmDelete;
    confirmMove = read.confirmMove;
    autoName = read.autoName;
    autoFixStorageOffset = read.autoFixStorageOffset;
    autoRemoveMaterials = read.autoRemoveMaterials;
    autoAddMaterials = read.autoAddMaterials;
}

Preferences FigureFile::CurrentPreferences() const {
    Preferences current;
    current.confirmDelete = confirmDelete;
    current.confirmMove = confirmMove;
    current.autoName = autoName;
    current.autoFixStorageOffset = autoFixStorageOffset;
    current.autoRemoveMaterials = autoRemoveMaterials;
    current.autoAddMaterials = autoAddMaterials;
    return current;
}

std::string FigureFile::Extension() const {
    const auto dot = fileName.rfind('.');
    return dot == std::string::npos ? std::string() : fileName.substr(dot + 1);
}

Block* FigureFile::BlockOfItem(TreeItem item) {
    // Item 0 is "none"; searching for it would find the first Block without an item.
    return item == 0 ? nullptr : root.FindByTreeItem(item);
}

void FigureFile::ShowOpenError(const std::string& file, const std::string& reason) {
    ui.ShowError("Error opening file.", "FileOpenError", file + ": " + reason);
}

int FigureFile::ChooseFile() {
    FileDialogRequest request;
    request.filter = kOpenFilter;
    const std::optional<std::string> chosen = ui.OpenFileDialog(request);
    if (!chosen) {
        return 0;
    }
    path = *chosen;
    fileName = FileNameOfPath(path);
    return 1;
}

bool FigureFile::MayDiscardChanges() {
    if (modified == 0) {
        return true;
    }
    return ui.ShowMessage("You have made changes. Are you sure you wish to discard them?",
                          "WARNING!", MessageButtons::YesNo,
                          MessageIcon::Exclamation) == MessageAnswer::Yes;
}

int FigureFile::Load() {
    const std::string extension = Extension();
    const std::int32_t wasViewKind = viewKind;
    viewKind = (EqualsIgnoringCase(extension, "cr2") || EqualsIgnoringCase(extension, "pz3") ||
                EqualsIgnoringCase(extension, "crz") || EqualsIgnoringCase(extension, "pzz"))
                   ? kFigureView
                   : kPoseView;

    ui.SetWaitCursor();
    ui.OpenProgress("Loading...\nPlease Wait.", true);
    // The file is read in pieces straight into a new tree, which replaces the old one only once
    // it is complete and shown: a file that cannot be read, that nests too deep to be shown and
    // saved, or that does not fit in memory leaves the pane as it was.
    Block parsed;
    bool read = false;
    std::string reason;
    const std::int32_t wasLoaded = loaded;
    ReadExtent extent;
    try {
        Progress progress = ProgressOn(ui, 0);
        read = ReadFileTree(path, parsed, &progress, &reason, &extent);
        if (read) {
            std::swap(root, parsed);
            ShowLoadedTree();
        }
    } catch (const std::bad_alloc&) {
        if (read) {
            // The old tree goes back into its old view.
            std::swap(root, parsed);
            loaded = wasLoaded;
            viewKind = wasViewKind;
            RestoreView();
        }
        read = false;
        reason = SystemErrorText(ENOMEM);
    }
    ui.CloseProgress();
    if (!read) {
        ui.SetArrowCursor();
        ShowOpenError(path, reason);
        return 0;
    }
    parsed = Block();  // the tree shown before
    lastRead = extent;
    loaded = 1;
    modified = 0;
    history.Clear();

    if (mainWindow != nullptr) {
        mainWindow->OnFileLoaded(*this);
    }
    ui.SetArrowCursor();
    return 1;
}

void FigureFile::ShowLoadedTree() {
    if (tree != nullptr) {
        tree->Refresh();
    }
    // The figure number and geometry name are picked out before the window hears of the load,
    // so that the OBJ button can show the geometry name of the file just loaded.
    const Block* body = root.FindChild("actor", "BODY", true);
    std::string suffix = body != nullptr ? std::string(NameSuffix(body->data)) : std::string();
    const Block* resFile = root.FindNthChild("figureResFile", 0, Match::Tag);
    std::string geometry;
    if (resFile != nullptr) {
        const auto colon = resFile->data.rfind(':');
        geometry = colon == std::string::npos ? resFile->data : resFile->data.substr(colon + 1);
    }
    figureSuffix.swap(suffix);
    geometryName.swap(geometry);
}

void FigureFile::RestoreView() {
    if (tree == nullptr) {
        return;
    }
    // Refreshing marks a pane as holding a file; one that never held one is only emptied.
    const std::int32_t wasLoaded = loaded;
    try {
        if (wasLoaded != 0) {
            tree->Refresh();
        } else {
            tree->control.DeleteAllItems();
        }
    } catch (const std::bad_alloc&) {
        // The tree is the one the pane had; only its view could not be rebuilt.
    }
    loaded = wasLoaded;
}

void FigureFile::ReportOutOfMemory() {
    ui.CloseProgress();
    ui.CloseExportingWindow();
    ui.SetArrowCursor();
    RestoreView();
    if (otherPane != nullptr) {
        otherPane->RestoreView();
    }
    ShowOutOfMemory(ui);
}

bool AcceptsLineText(Ui& ui, std::string_view text) {
    if (FitsInLine(text)) {
        return true;
    }
    ui.ShowMessage("A name or value cannot contain \"{\", \"}\" or a line break.", "Invalid Name",
                   MessageButtons::Ok, MessageIcon::Exclamation);
    return false;
}

void ShowOutOfMemory(Ui& ui) {
    ui.ShowMessage("There is not enough memory to finish this operation.", "Out of Memory",
                   MessageButtons::Ok, MessageIcon::Exclamation);
}

void FigureFile::RunSaveRepairs() {
    auto enabled = [this](const SaveRepair& repair) {
        return repair.enabledBy != nullptr && this->*repair.enabledBy == 1 && repair.run;
    };
    if (std::none_of(saveRepairs.begin(), saveRepairs.end(), enabled)) {
        return;
    }
    bool changed = false;
    for (const SaveRepair& repair : saveRepairs) {
        if (enabled(repair)) {
            changed = repair.run(*this) || changed;
        }
    }
    // The repairs are part of the save, not a step: the steps before them no longer lead
    // back from the repaired tree.
    if (changed) {
        history.Forget(false);
    }
}

bool FigureFile::WriteFileTo(const std::string& target, Progress* progress, Repairs repairs,
                             std::string* reason) {
    return WriteFileAtomically(
        target, TextWriter::LineEnds::CrLf,
        [this, progress, repairs](TextWriter& out) {
            // Only once the target could be created: a save refused there leaves the tree as it
            // was.
            if (repairs == Repairs::Run) {
                RunSaveRepairs();
            }
            if (progress != nullptr) {
                progress->total = static_cast<double>(root.CountNodes());
                progress->reported = -1;
            }
            WriteTree(root, out, progress);
        },
        reason, sinkFilter);
}

int FigureFile::Save() {
    const std::string extension = Extension();
    FileDialogRequest request;
    request.filter = SaveFilter(extension);
    request.defaultExtension = extension;
    request.proposedName = path;
    request.hideReadOnly = true;
    request.overwritePrompt = true;
    const std::optional<std::string> chosen = ui.SaveFileDialog(request);
    if (!chosen) {
        return 0;
    }
    path = *chosen;
    fileName = FileNameOfPath(path);

    ui.OpenProgress("Saving...\nPlease Wait.", false);
    ui.SetWaitCursor();
    // The repairs change the pane's own tree and stay in it, even when the write fails after
    // them (the file on disk is then untouched and the pane stays modified). Running out of
    // memory on the way is a failed save like any other.
    std::string reason;
    bool written = false;
    try {
        Progress progress = ProgressOn(ui, 0);
        written = WriteFileTo(path, &progress, Repairs::Run, &reason);
    } catch (const std::bad_alloc&) {
        written = false;
        reason = SystemErrorText(ENOMEM);
        RestoreView();  // a repair may have been stopped half-way
    }
    ui.SetArrowCursor();
    ui.CloseProgress();
    if (!written) {
        ShowOpenError(path, reason);
        return 0;
    }
    modified = 0;
    history.MarkSaved();
    return 1;
}

bool FigureFile::WriteTo(const std::string& target) {
    std::string reason;
    bool written = false;
    try {
        written = WriteFileTo(target, nullptr, Repairs::Skip, &reason);
    } catch (const std::bad_alloc&) {
        written = false;
        reason = SystemErrorText(ENOMEM);
    }
    if (!written) {
        ShowOpenError(target, reason);
        return false;
    }
    return true;
}

std::string SaveFilter(std::string_view extension) {
    if (extension.empty()) {
        return std::string();
    }
    auto entry = [](std::string_view description, std::string_view ext) {
        const std::string pattern = "*." + std::string(ext);
        return std::string(description) + " (" + pattern + ")|" + pattern + "|";
    };
    // The file's own kind first, then the same kind plain or compressed.
    for (const auto& pair : kCompressedPairs) {
        if (EqualsIgnoringCase(extension, pair[0])) {
            return entry("Files", extension) + entry("Compressed Files", pair[1]) + "|";
        }
        if (EqualsIgnoringCase(extension, pair[1])) {
            return entry("Compressed Files", extension) + entry("Files", pair[0]) + "|";
        }
    }
    return entry("Files", extension) + "|";
}

std::string FileNameOfPath(std::string_view path) {
    // A backslash is an ordinary file-name character outside Windows.
#ifdef _WIN32
    const auto slash = path.find_last_of("/\\");
#else
    const auto slash = path.rfind('/');
#endif
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

}  // namespace tessary
