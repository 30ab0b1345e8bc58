#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "pane/EditHistory.h"
#include "platform/TreeControl.h"

namespace tessary {

class FigureFile;

// Makes what one command changes in one pane's file a step of that pane's history. Made before
// the command runs and told what the command may change; Finish, once the command is done,
// keeps only what did change:
//
//   KeepBlockOf     copies the Block of an item that the command changes in place;
//   KeepFrontInsertions  takes note of the line keys of a list that a copy or a combination
//                   puts new Blocks in front of, and copies only the children a copy may
//                   replace (those with the copied lines);
//   KeepTopLevel    copies the top-level Blocks a copy may change (the body part of that name,
//                   when the copy has to make the levels it goes to) and takes note of the
//                   Blocks it may append;
//   KeepTopLevelNaming  copies the top-level Blocks that hold a line naming a prop, and the
//                   "figure" Block: a prop's commands change those and insert or remove
//                   top-level Blocks; Finish aligns the top level before and after;
//   KeepWholeFile   copies every top-level Block (whole-file commands); Finish keeps those
//                   that changed;
//   RecordRemovals  lets the edit operations move the Blocks they remove into the step
//                   instead of freeing them (nothing is copied).
//
// What a command may change is the dispatcher's table to say. Where Finish sees the tree
// changed beyond that (a copied Block gone, the top level of another length), it forgets the
// history rather than keep a step that would not restore the tree; so does a recorder
// destroyed without Finish (the command ran out of memory), since the tree may have changed
// in part.
class StepRecorder {
  public:
    StepRecorder(FigureFile& file, std::string label);
    ~StepRecorder();
    StepRecorder(const StepRecorder&) = delete;
    StepRecorder& operator=(const StepRecorder&) = delete;

    void KeepBlockOf(TreeItem item);
    void KeepTopLevel(std::string_view tag, std::string_view baseName);
    // `parent`, a Block of the file, gets new children in front; for each of `replaced`, the
    // first child with that line key may go.
    void KeepFrontInsertions(const Block& parent, const std::vector<std::string>& replaced);
    // Falls back to KeepWholeFile for an empty name (every line without data would match).
    void KeepTopLevelNaming(const std::vector<std::string>& names);
    void KeepWholeFile();
    void RecordRemovals();
    // Records a change made without the recorder: the Block of `item` was `before`.
    void KeepBlockWas(TreeItem item, Block before);

    void Finish();
    // Nothing changed after all (the command did not run): no step, the history as it was.
    void Abandon();

  private:
    struct Kept {
        BlockPosition position;
        Block before;
    };
    void FinishWholeFile(EditStep& step);
    void FinishFrontInsertions(EditStep& step);
    void FinishNaming(EditStep& step);

    FigureFile& file_;
    EditStep removals_;
    std::vector<Kept> kept_;
    ChildList wholeFile_;
    // KeepFrontInsertions: where the list is, the line keys of its children before the
    // command, and copies of those a copy may replace, by index.
    std::optional<BlockPosition> list_;
    std::vector<std::string> listKeys_;
    std::vector<std::pair<std::size_t, Block>> replaceable_;
    // KeepTopLevelNaming: each top-level Block's line and number of children before the
    // command, and copies of those it may change (none for the others).
    bool naming_ = false;
    std::vector<std::string> topKeys_;
    std::vector<std::size_t> topSizes_;
    std::vector<std::optional<Block>> topKept_;
    bool keepsWholeFile_ = false;
    bool appends_ = false;
    bool incomplete_ = false;
    bool finished_ = false;
    std::size_t topCount_ = 0;
};

}  // namespace tessary
