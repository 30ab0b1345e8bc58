// Saving a large figure file through a pane, with the three save-time repairs switched off and
// on: the repairs are one walk of the tree each, so they should add little to the write.
//
// Input: c100.cr2 from the shared generators (see docs/performance.md), in the folder named by
// TESSARY_BENCH_DIR (default /tmp/tessary-bench); the saved copy goes to the same folder and is
// removed at the end.

#include <benchmark/benchmark.h>

#include <cstdio>
#include <optional>
#include <string>

#include "BenchSupport.h"
#include "geometry/MaterialList.h"
#include "geometry/ObjMesh.h"
#include "geometry/SaveRepairs.h"
#include "geometry/StorageOffsets.h"
#include "headless/MemoryProfileStore.h"
#include "pane/FigureFile.h"

namespace {

using tessary::FigureFile;
using tessary::bench::InputPath;

// Answers every save dialog with one path.
class SavingUi : public tessary::bench::SilentUi {
  public:
    std::string target;
    std::optional<std::string> SaveFileDialog(const tessary::FileDialogRequest&) override {
        return target;
    }
};

// One pane holding c100.cr2 with an OBJ file whose materials keep two of the figure's, drop the
// rest and add two.
struct LoadedPane {
    SavingUi ui;
    tessary::MemoryProfileStore store;
    FigureFile file{ui, store};

    bool Load() {
        file.path = InputPath("c100.cr2");
        file.fileName = "c100.cr2";
        if (file.Load() != 1) {
            return false;
        }
        file.objMesh.reset(new tessary::ObjMesh);
        file.objMesh->Parse(
            "v 0 0 0\nusemtl Skin\nf 1 1 1\nusemtl Lips\nf 1 1 1\n"
            "usemtl hair\nf 1 1 1\nusemtl eyes\nf 1 1 1\n");
        file.saveRepairs = tessary::SaveTimeRepairs();
        ui.target = InputPath("c100-saved.cr2");
        return true;
    }

    void SetRepairs(int on) {
        file.autoFixStorageOffset = on;
        file.autoRemoveMaterials = on;
        file.autoAddMaterials = on;
    }
};

// Loaded once for all runs; `loaded` stays 0 when the input is missing.
LoadedPane& Pane() {
    static LoadedPane pane;
    static const bool tried = pane.Load();
    (void)tried;
    return pane;
}

// range(0): 0 saves with the repairs off, 1 with all three on.
void BM_SaveC100(benchmark::State& state) {
    LoadedPane& pane = Pane();
    if (!pane.file.loaded) {
        state.SkipWithError("c100.cr2 not found: generate it first");
        return;
    }
    pane.SetRepairs(static_cast<int>(state.range(0)));
    for (auto _ : state) {
        if (pane.file.Save() != 1) {
            state.SkipWithError("cannot save");
            break;
        }
    }
    std::remove(pane.ui.target.c_str());
}

// The three repairs alone, without the write.
void BM_RepairsC100(benchmark::State& state) {
    LoadedPane& pane = Pane();
    if (!pane.file.loaded) {
        state.SkipWithError("c100.cr2 not found: generate it first");
        return;
    }
    for (auto _ : state) {
        tessary::RepairStorageOffsets(pane.file);
        tessary::RemoveUnusedMaterials(pane.file);
        tessary::AddMissingMaterials(pane.file);
    }
}

}  // namespace

BENCHMARK(BM_SaveC100)->Arg(0)->Arg(1)->Unit(benchmark::kMillisecond)->UseRealTime();
BENCHMARK(BM_RepairsC100)->Unit(benchmark::kMillisecond)->UseRealTime();

BENCHMARK_MAIN();
