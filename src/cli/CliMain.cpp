#include "cli/CliMain.h"

#include <cctype>
#include <filesystem>
#include <fstream>
#include <map>
#include <optional>
#include <system_error>

#include "cli/CheckCommand.h"
#include "cli/CliHelp.h"
#include "cli/ScriptRunner.h"
#include "cli/TreePrinter.h"

namespace tessary {

namespace {

// Loads FILE into the left pane as a file named on the command line would be.
bool LoadIntoLeftPane(Session& session, const std::string& file) {
    session.window.Start(file);
    return session.window.File(Side::Left).loaded != 0;
}

int Show(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::optional<std::string> file;
    std::optional<int> view;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--view") {
            if (i + 1 >= args.size()) {
                return UsageError(err, "--view needs raw, figure or pose");
            }
            const std::string& name = args[++i];
            if (name == "raw") {
                view = kRawView;
            } else if (name == "figure") {
                view = kFigureView;
            } else if (name == "pose") {
                view = kPoseView;
            } else {
                return UsageError(err, "unknown view '" + name + "'");
            }
        } else if (!file) {
            file = args[i];
        } else {
            return UsageError(err, "show takes one FILE");
        }
    }
    if (!file || file->empty()) {
        return UsageError(err, "show needs a FILE");
    }
    Session session(out, &err);
    if (!LoadIntoLeftPane(session, *file)) {
        return session.ExitStatus();
    }
    if (view) {
        session.window.ShowAs(Side::Left, *view);
    }
    WriteTreeListing(session.leftControl, out);
    return session.ExitStatus();
}

int Normalize(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    std::optional<std::string> file;
    std::optional<std::string> target;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "-o") {
            if (i + 1 >= args.size()) {
                return UsageError(err, "-o needs a file name");
            }
            target = args[++i];
        } else if (!file) {
            file = args[i];
        } else {
            return UsageError(err, "normalize takes one FILE");
        }
    }
    if (!file || file->empty() || !target || target->empty()) {
        return UsageError(err, "normalize needs FILE and -o OUT");
    }
    Session session(out, &err);
    if (!LoadIntoLeftPane(session, *file)) {
        return session.ExitStatus();
    }
    // WriteTo reports a target that cannot be written with the same box as Save File.
    session.window.File(Side::Left).WriteTo(*target);
    return session.ExitStatus();
}

bool IsValueName(std::string_view name) {
    if (name.empty()) {
        return false;
    }
    for (char c : name) {
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_')) {
            return false;
        }
    }
    return true;
}

int Run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
        std::istream& in) {
    std::optional<std::string> scriptName;
    std::map<std::string, std::string> values;
    for (std::size_t i = 0; i < args.size(); ++i) {
        if (args[i] == "--set") {
            if (i + 1 >= args.size()) {
                return UsageError(err, "--set needs NAME=VALUE");
            }
            const std::string& setting = args[++i];
            const std::size_t equals = setting.find('=');
            const std::string name = setting.substr(0, equals);
            if (equals == std::string::npos || !IsValueName(name)) {
                return UsageError(
                    err, "'" + setting + "' is not NAME=VALUE (NAME of letters, digits and _)");
            }
            values[name] = setting.substr(equals + 1);
        } else if (!scriptName) {
            scriptName = args[i];
        } else {
            return UsageError(err, "run takes one SCRIPT");
        }
    }
    if (!scriptName) {
        return UsageError(err, "run needs a SCRIPT");
    }
    const std::string& name = *scriptName;
    std::ifstream file;
    std::istream* script = &in;
    if (name != "-") {
        // A folder opens like a file on some systems and then reads as empty. The name is
        // UTF-8; as a path it names the same file on every system.
        const std::filesystem::path scriptPath(std::u8string(name.begin(), name.end()));
        std::error_code error;
        if (!std::filesystem::is_directory(scriptPath, error)) {
            file.open(scriptPath, std::ios::binary);
        }
        if (!file.is_open() || !file) {
            err << "tessary-cli: cannot read the script '" << name << "'\n";
            return 2;
        }
        script = &file;
    }
    // A malformed line stops the run where it stands, after the lines before it have run.
    std::vector<ScriptLine> lines;
    std::optional<ScriptRunner::Malformed> malformed;
    std::string error;
    int errorLine = 0;
    if (!ParseScript(*script, lines, error, errorLine)) {
        malformed = ScriptRunner::Malformed{errorLine, error};
    }
    // A ${NAME} without a value is reported before anything runs.
    if (!FillValues(lines, values, error, errorLine)) {
        err << "tessary-cli: " << name << ':' << errorLine << ": " << error << '\n';
        return 2;
    }
    Session session(out, &err);
    ScriptRunner runner(session, name);
    int status = runner.Run(lines, err, malformed);
    out.flush();
    return status;
}

}  // namespace

int RunCli(const std::vector<std::string>& args, std::ostream& out, std::ostream& err,
           std::istream& in) {
    if (args.empty()) {
        return UsageError(err, "no command given");
    }
    const std::string& command = args[0];
    std::vector<std::string> rest(args.begin() + 1, args.end());
    if (command == "--help" || command == "-h") {
        WriteHelp(out);
        return 0;
    }
    if (command == "help") {
        if (rest.size() != 1) {
            return UsageError(err, "help takes one NAME");
        }
        if (!WriteHelpOf(rest[0], out)) {
            return UsageError(err, "no command or action '" + rest[0] + "'");
        }
        return 0;
    }
    if (command == "--version") {
        out << "tessary-cli " << TESSARY_VERSION << '\n';
        return 0;
    }
    if (command == "show") {
        return Show(rest, out, err);
    }
    if (command == "normalize") {
        return Normalize(rest, out, err);
    }
    if (command == "check") {
        return RunCheck(rest, out, err);
    }
    if (command == "run") {
        return Run(rest, out, err, in);
    }
    return UsageError(err, "unknown command '" + command + "'");
}

}  // namespace tessary
