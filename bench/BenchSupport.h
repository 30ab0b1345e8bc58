#pragma once

// Pieces every benchmark program shares: where the generated inputs are, a reading of the
// process's memory, and a Ui that shows nothing.

#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "headless/MemoryProfileStore.h"
#include "model/TextIO.h"
#include "pane/FigureFile.h"
#include "platform/Ui.h"

namespace tessary::bench {

// A generated input in the folder named by TESSARY_BENCH_DIR, default /tmp/tessary-bench.
inline std::string InputPath(const char* name) {
    const char* dir = std::getenv("TESSARY_BENCH_DIR");
    return std::string(dir != nullptr && *dir != '\0' ? dir : "/tmp/tessary-bench") + "/" + name;
}

// The size in bytes of a generated input, or nothing when it is missing.
inline std::optional<double> InputSize(const std::string& path) {
    std::error_code error;
    const auto size = std::filesystem::file_size(path, error);
    return error ? std::nullopt : std::optional<double>(static_cast<double>(size));
}

// A value from /proc/self/status ("VmHWM", "VmRSS"), in bytes; -1 when missing.
inline long long StatusBytes(const char* key) {
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::size_t keyLength = std::strlen(key);
    while (std::getline(status, line)) {
        if (line.compare(0, keyLength, key) == 0 && line.size() > keyLength &&
            line[keyLength] == ':') {
            return std::atoll(line.c_str() + keyLength + 1) * 1024;
        }
    }
    return -1;
}

// Nothing a benchmarked operation does asks the user anything.
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

// A pane's file, read from a generated input with the reader a caller holding the text uses,
// with the Ui and profile store it needs.
struct ParsedFile {
    SilentUi ui;
    MemoryProfileStore store;
    FigureFile file{ui, store};

    // Parses the input at `path` into the file; false when it cannot be read.
    bool Parse(const std::string& path) {
        std::string text;
        if (!ReadWholeFile(path, text)) {
            return false;
        }
        ParseFileText(text, file.root);
        return true;
    }
};

}  // namespace tessary::bench
