#pragma once

#include <cstddef>
#include <string>
#include <string_view>
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
//   KeepTopLevel    copies the top-level Blocks a copy may change (the body part of that name)
//                   and takes note of the Blocks it may append;
//   KeepWholeFile   copies every top-level Block (whole-file and prop commands); Finish keeps
//                   those that changed;
//   RecordRemovals  lets the edit operations move the Blocks they remove into the step
//                   instead of freeing them (nothing is copied).
//
// A recorder destroyed without Finish (the command ran out of memory) forgets the history,
// since the tree may have changed in part.
class StepRecorder {
  public:
    StepRecorder(FigureFile& file, std::string label);
    ~StepRecorder();
    StepRecorder(const StepRecorder&) = delete;
    StepRecorder& operator=(const StepRecorder&) = delete;

    void KeepBlockOf(TreeItem item);
    void KeepTopLevel(std::string_view tag, std::string_view baseName);
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

    FigureFile& file_;
    EditStep removals_;
    std::vector<Kept> kept_;
    std::vector<Block> wholeFile_;
    bool keepsWholeFile_ = false;
    bool appends_ = false;
    bool incomplete_ = false;
    bool finished_ = false;
    std::size_t topCount_ = 0;
};

}  // namespace tessary
