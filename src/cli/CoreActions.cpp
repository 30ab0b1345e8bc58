// The actions of the window's buttons and of looking at a pane: prefs, load, save, show, print,
// state, quit.
#include <cstdio>
#include <cstdlib>
#include <utility>

#include "cli/ScriptRunner.h"
#include "cli/TreePrinter.h"
#include "model/TextIO.h"
#include "platform/FileAccess.h"

namespace tessary {

namespace {

void Prefs(ScriptRunner& runner, const Words& args) {
    std::vector<std::pair<std::size_t, std::int32_t>> settings;
    for (const std::string& word : args) {
        std::size_t equals = word.find('=');
        std::string key = word.substr(0, equals);
        std::string value = equals == std::string::npos ? "" : word.substr(equals + 1);
        std::size_t index = 0;
        while (index < Preferences::kKeys.size() && key != Preferences::kKeys[index]) {
            ++index;
        }
        if (index == Preferences::kKeys.size() || (value != "0" && value != "1")) {
            throw ScriptError("'" + word + "' is not a preference setting (KEY=0 or KEY=1)");
        }
        settings.emplace_back(index, value == "1" ? 1 : 0);
    }
    runner.session.ui.SetPreferencesEdit([settings](Preferences& preferences) {
        for (auto [index, value] : settings) {
            preferences[index] = value;
        }
    });
    runner.session.window.OnPreferencesButton();
}

void Load(ScriptRunner& runner, const Words& args) {
    ScriptRunner::RequireArgs(args, 2, 3, "load PANE FILE [REPLY]");
    Side side = runner.ParsePane(args[0]);
    // The discard question comes before the open dialog; without unsaved changes it is not
    // asked, and a REPLY given for it is left over (a script error).
    // After No there is no open dialog to take FILE.
    Words replies;
    if (runner.session.window.File(side).modified != 0) {
        const std::string answer = args.size() > 2 ? args[2] : "yes";
        replies = answer == "no" ? Words{answer} : Words{answer, args[1]};
    } else {
        replies = Words(args.begin() + 1, args.end());
    }
    runner.SetReplies(std::move(replies));
    runner.session.window.OnLoadButton(side);
}

void Save(ScriptRunner& runner, const Words& args) {
    ScriptRunner::RequireArgs(args, 2, 2, "save PANE FILE");
    Side side = runner.ParsePane(args[0]);
    if (!runner.session.window.Buttons(side).save.enabled) {
        throw ScriptError("the Save File button is disabled");
    }
    runner.SetReplies({args[1]});
    runner.session.window.OnSaveButton(side);
}

void Show(ScriptRunner& runner, const Words& args) {
    ScriptRunner::RequireArgs(args, 1, 1, "show PANE");
    WriteTreeListing(runner.session.Control(runner.ParsePane(args[0])), runner.session.out);
}

void Print(ScriptRunner& runner, const Words& args) {
    ScriptRunner::RequireArgs(args, 1, 1, "print PANE");
    const FigureFile& file = runner.session.window.File(runner.ParsePane(args[0]));
    if (!file.loaded) {
        return;
    }
    runner.session.out << SavedText(file.root);
}

void State(ScriptRunner& runner, const Words& args) {
    ScriptRunner::RequireArgs(args, 1, 1, "state PANE");
    PrintState(runner.session.window, runner.ParsePane(args[0]), runner.session.out);
}

void Quit(ScriptRunner& runner, const Words& args) {
    runner.SetReplies(args, 0);
    if (runner.session.window.OnQuit()) {
        runner.Stop();
    }
}

}  // namespace

std::string SavedText(const Block& root) {
#ifdef _WIN32
    // No memory streams here: the text goes through a scratch file and is read back.
    std::FILE* scratch = OpenScratchFile();
    if (!scratch) {
        throw std::bad_alloc();
    }
    {
        TextWriter writer(scratch, TextWriter::LineEnds::CrLf);
        WriteTree(root, writer, nullptr);
        writer.Flush();
    }
    std::string text;
    std::rewind(scratch);
    char piece[64 * 1024];
    for (std::size_t got; (got = std::fread(piece, 1, sizeof piece, scratch)) > 0;) {
        text.append(piece, got);
    }
    std::fclose(scratch);
    return text;
#else
    char* bytes = nullptr;
    std::size_t size = 0;
    std::FILE* memory = open_memstream(&bytes, &size);
    if (!memory) {
        throw std::bad_alloc();
    }
    {
        TextWriter writer(memory, TextWriter::LineEnds::CrLf);
        WriteTree(root, writer, nullptr);
        writer.Flush();
    }
    std::fclose(memory);
    std::string text(bytes, size);
    std::free(bytes);
    return text;
#endif
}

void RegisterCoreActions(ScriptRunner& runner) {
    runner.AddAction("prefs", Prefs);
    runner.AddAction("load", Load);
    runner.AddAction("save", Save);
    runner.AddAction("show", Show);
    runner.AddAction("print", Print);
    runner.AddAction("state", State);
    runner.AddAction("quit", Quit);
}

}  // namespace tessary
