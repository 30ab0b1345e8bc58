#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "model/Block.h"
#include "model/TextIO.h"
#include "pane/EditHistory.h"
#include "platform/Preferences.h"
#include "platform/TreeControl.h"

namespace tessary {

class FigureTree;
class MainWindowLink;
class ProfileStore;
class Ui;
struct ObjMesh;
struct Progress;

enum ViewKind : std::int32_t { kRawView = 0, kFigureView = 1, kPoseView = 2 };

// One pane's file and its state: names, the block tree, the view kind, the preference copies
// and the attached OBJ geometry. Dialogs and messages go through `ui`; the pane's tree control
// is reached through `tree`, set by the FigureTree that presents this file.
class FigureFile {
  public:
    FigureFile(Ui& ui, ProfileStore& store);
    ~FigureFile();
    FigureFile(const FigureFile&) = delete;
    FigureFile& operator=(const FigureFile&) = delete;

    MainWindowLink* mainWindow = nullptr;
    FigureFile* otherPane = nullptr;
    std::int32_t modified = 0;
    std::int32_t confirmDelete = 1;
    std::int32_t confirmMove = 1;
    std::int32_t autoName = 0;
    std::int32_t autoFixStorageOffset = 0;
    std::int32_t autoRemoveMaterials = 0;
    std::int32_t autoAddMaterials = 0;
    std::string fileName;
    std::string path;
    std::string objPath;
    std::string objFileName;
    std::string geometryName;
    Block root;
    std::int32_t viewKind = kRawView;
    std::int32_t loaded = 0;
    // Held by shared_ptr only so that the code that makes a mesh (src/geometry) also supplies
    // its deleter: a pane knows ObjMesh by name alone and never shares it.
    std::shared_ptr<ObjMesh> objMesh;
    TreeItem commandItem = 0;
    std::string figureSuffix;

    Ui& ui;
    ProfileStore& store;
    FigureTree* tree = nullptr;

    // The changes to `root` that can be undone and redone. A load starts it afresh; a save marks
    // the state the file now holds (and starts it afresh when the save's repairs changed the
    // tree, as they are part of the save and never undone).
    EditHistory history;

    // How much of its file the last successful load took (a file with text after its
    // outermost block, or cut by a NUL byte, loads only what comes before).
    ReadExtent lastRead;

    // What the copies out of this file put into otherPane since `lastCopy` was last cleared:
    // how many of each kind, the body part they went to (the last one, when several), and where the
    // copies now are (paths with base names in the destination, and the destination names of copied
    // props), so that the window can report them and show them.
    struct CopyRecord {
        int morphTargets = 0;
        int channels = 0;
        int props = 0;
        std::string bodyPart;
        bool severalBodyParts = false;
        std::vector<std::string> paths;
        std::vector<std::string> propNames;
    };
    CopyRecord lastCopy;

    // Open dialog; on OK sets path and fileName. Returns 1 if a file was chosen.
    int ChooseFile();
    // Loads the file named by `path`. Returns 1 on success (`modified` is then 0), 0 if it
    // cannot be opened or read, or memory runs out; the pane is then left as it was.
    int Load();
    // Asked before a load replaces this pane's file: true when there are no unsaved changes,
    // or the user agrees to discard them.
    bool MayDiscardChanges();
    // Save dialog, repairs, atomic write. Returns 1 on success, 0 on cancel or failure.
    int Save();
    // Writes the tree as Save would, without dialog, repairs or progress window; a target that
    // cannot be written gets Save's error box and leaves any file there intact. Returns false
    // on failure. `modified` is left alone.
    bool WriteTo(const std::string& target);
    // After a command ran out of memory: closes the progress window, rebuilds both panes'
    // views from their trees (the operations build what they add before they change a tree)
    // and tells the user.
    void ReportOutOfMemory();
    // Re-reads the six preference copies from the store.
    void LoadPreferences();
    Preferences CurrentPreferences() const;

    // The extension of fileName (text after its last "."), compared ignoring case.
    std::string Extension() const;

    // The Block behind a tree item of this pane, or none (folder items have none).
    Block* BlockOfItem(TreeItem item);

    // One automatic repair that Save runs on this file before writing it, when the preference
    // copy `enabledBy` names is 1 (for example &FigureFile::autoFixStorageOffset).
    struct SaveRepair {
        std::int32_t FigureFile::*enabledBy = nullptr;
        // Returns whether the repair changed the tree.
        std::function<bool(FigureFile&)> run;
    };
    // The repairs in the order Save runs them: storage offsets, then unused materials, then
    // missing materials. The main window's panes get geometry/SaveRepairs.h's SaveTimeRepairs.
    std::vector<SaveRepair> saveRepairs;

    // Where the saved file's bytes go on their way to disk (see WriteFileAtomically); none
    // writes straight through.
    SinkFilter sinkFilter;

  private:
    // The steps of a load once the new tree is in `root`: its view, figureSuffix and
    // geometryName.
    void ShowLoadedTree();
    // Rebuilds the view of `root` after an operation ran out of memory, as far as memory allows.
    void RestoreView();
    void RunSaveRepairs();
    enum class Repairs { Skip, Run };
    // Writes the tree to `target`; with Repairs::Run the enabled save repairs run on it first,
    // once the target could be created. On failure `reason` says why.
    bool WriteFileTo(const std::string& target, Progress* progress, Repairs repairs,
                     std::string* reason);
    // "Error opening file.", with the file and the system's reason as the box's detail.
    void ShowOpenError(const std::string& file, const std::string& reason);
};

// The message box that a command which ran out of memory ends with.
void ShowOutOfMemory(Ui& ui);

// True when `text` may become a tag, data or name (see FitsInLine); otherwise tells the user
// why not with the "Invalid Name" box.
bool AcceptsLineText(Ui& ui, std::string_view text);

// The filter of a save dialog for a file of extension `extension` (no "."): that kind of file,
// then the same kind compressed (or plain, for a compressed extension) when there is one;
// empty for an empty extension.
std::string SaveFilter(std::string_view extension);

// The text after the last "/" (or "\") of a path: the file name with its extension.
std::string FileNameOfPath(std::string_view path);

}  // namespace tessary
