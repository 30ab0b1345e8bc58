// Filling a pane's tree control from a loaded figure file, in each of the three views.
//
// The input is c100.cr2 from the shared generators (see docs/performance.md), taken from the
// folder named by TESSARY_BENCH_DIR, default /tmp/tessary-bench. The file is parsed once; each
// iteration is one FigureTree::Refresh into the in-memory tree control, which is what a load
// costs on top of the parse and what every copy, deletion or combination costs afterwards.

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <fstream>
#include <iterator>
#include <optional>
#include <string>

#include "headless/MemoryProfileStore.h"
#include "headless/MemoryTreeControl.h"
#include "model/TextIO.h"
#include "pane/FigureFile.h"
#include "pane/FigureTree.h"
#include "platform/Ui.h"

namespace {

using namespace tessary;

std::string InputPath(const char* name) {
    const char* dir = std::getenv("TESSARY_BENCH_DIR");
    return std::string(dir != nullptr ? dir : "/tmp/tessary-bench") + "/" + name;
}

// A Ui that shows nothing: nothing in a refresh asks the user anything.
class SilentUi : public Ui {
  public:
    MessageAnswer ShowMessage(const std::string&, const std::string&, MessageButtons,
                              MessageIcon) override {
        return MessageAnswer::Ok;
    }
    std::optional<std::string> OpenFileDialog(const FileDialogRequest&) override { return {}; }
    std::optional<std::string> SaveFileDialog(const FileDialogRequest&) override { return {}; }
    void OpenProgress(const std::string&, bool) override {}
    void SetProgressText(const std::string&) override {}
    void SetProgressPosition(int) override {}
    void CloseProgress() override {}
    void SetWaitCursor() override {}
    void SetArrowCursor() override {}
    std::optional<Preferences> RunPreferencesDialog(const Preferences&) override { return {}; }
    void ShowAbout() override {}
    void OpenHelpPage() override {}
};

struct LoadedFile {
    SilentUi ui;
    MemoryProfileStore store;
    MemoryTreeControl control;
    FigureFile file{ui, store};
    FigureTree tree{control, file};
    bool ok = false;

    explicit LoadedFile(const std::string& path) {
        std::string text;
        if (!ReadWholeFile(path, text)) {
            return;
        }
        ParseFileText(text, file.root);
        ok = true;
    }
};

LoadedFile* C100() {
    static LoadedFile* loaded = new LoadedFile(InputPath("c100.cr2"));
    return loaded->ok ? loaded : nullptr;
}

void Refresh(benchmark::State& state, int viewKind) {
    LoadedFile* loaded = C100();
    if (loaded == nullptr) {
        state.SkipWithError("c100.cr2 missing: generate it with gen_cr2.py (docs/performance.md)");
        return;
    }
    loaded->file.viewKind = viewKind;
    for (auto _ : state) {
        loaded->tree.Refresh();
        benchmark::DoNotOptimize(loaded->control.ItemCount());
    }
    state.counters["items"] = static_cast<double>(loaded->control.ItemCount());
    state.counters["blocks"] = static_cast<double>(loaded->file.root.CountNodes());
}

void BM_FigureView_c100(benchmark::State& state) {
    Refresh(state, kFigureView);
}
void BM_PoseView_c100(benchmark::State& state) {
    Refresh(state, kPoseView);
}
void BM_RawView_c100(benchmark::State& state) {
    Refresh(state, kRawView);
}

BENCHMARK(BM_FigureView_c100)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_PoseView_c100)->Unit(benchmark::kMillisecond)->MinTime(2.0);
BENCHMARK(BM_RawView_c100)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
