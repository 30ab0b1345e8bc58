#include "cli/CliHelp.h"

#include <iomanip>
#include <string_view>

namespace tessary {

namespace {

enum class HelpKind { Command, Action, DialogLine };

// One line of --help and the text `help NAME` prints. A new command or action adds its row
// here; the order of the rows is the order of the listing.
struct HelpEntry {
    HelpKind kind;
    const char* name;
    const char* synopsis;
    const char* summary;
    const char* details;
};

constexpr HelpEntry kHelp[] = {
    // Commands of the command line.
    {HelpKind::Command, "show", "show FILE [--view raw|figure|pose]",
     "print the tree of FILE as a pane shows it",
     "Loads FILE as the window's left pane would and prints its tree, one item a line: two\n"
     "spaces per level, the item's kind in brackets ([actor], [morph], [prop], [folder],\n"
     "[channel], [line]) and its label. Without --view the view follows the file name:\n"
     "figure view for .cr2 and .pz3, pose view otherwise. A file that cannot be read\n"
     "prints the error box line and exits with 1.\n"},
    {HelpKind::Command, "normalize", "normalize FILE -o OUT",
     "load FILE and save it as OUT (no repairs)",
     "Loads FILE and writes it to OUT exactly as Save File writes it, with the three\n"
     "save-time repairs (storage offsets, unused and missing materials) switched off.\n"
     "OUT is written through a temporary file, so a failed write leaves OUT as it was.\n"},
    {HelpKind::Command, "check", "check FILE... [--obj OBJFILE] [--format text|json]",
     "list what is likely wrong in each FILE, with line numbers",
     "Reads each FILE as loading does and prints one line per finding, \"FILE:LINE:\n"
     "message\": text the reader drops (before the first \"{\", after the outermost block,\n"
     "after a NUL byte, beside a brace), blocks never closed, actors or props defined twice,\n"
     "figure numbers that disagree, targetGeom blocks whose indexes or numbDeltas disagree\n"
     "with their d lines, nonzero storageOffset lines and names holding \"|\", \"{\" or\n"
     "\"}\". With --obj it also compares the deltas with the vertex count of each body\n"
     "part's OBJ group, and the figure's materials with those the OBJ file uses.\n"
     "--format json prints one JSON object per finding: file, line, kind, message.\n"
     "Exit status: 0 nothing found, 1 something found, 2 a file could not be read.\n"},
    {HelpKind::Command, "run", "run SCRIPT [--set NAME=VALUE]...",
     "run a session script; SCRIPT \"-\" reads standard input",
     "Runs the actions of SCRIPT, one a line, as a user's clicks in the window. Each\n"
     "--set NAME=VALUE fills ${NAME} wherever it stands in a word of the script; a\n"
     "${NAME} without a value is a script error. Every message box and file dialog is\n"
     "logged on standard output; each error box is followed on standard error by a line\n"
     "that names the file and the reason. Exit status: 0 clean, 1 an error box was shown,\n"
     "2 a fault in the script (reported as \"tessary-cli: SCRIPT:LINE: message\").\n"
     "The actions are listed by --help; see also docs/session-scripts.md.\n"},
    {HelpKind::Command, "help", "help NAME", "the details of a command or a script action",
     "Prints what a command of tessary-cli or an action of a session script does.\n"},

    // Actions of a session script.
    {HelpKind::Action, "prefs", "prefs KEY=0|1 ...", "Preferences: set the named boxes, OK",
     "Opens Preferences, sets each named box and presses OK; boxes not named keep their\n"
     "value. Keys: ConfirmDelete, ConfirmMove, AutoName, AutoFixStorageOffset,\n"
     "AutoRemoveMaterials, AutoAddMaterials. A run starts with the defaults and never\n"
     "touches the preferences stored for the window.\n"},
    {HelpKind::Action, "load", "load PANE FILE [REPLY]", "Load File: open FILE in the pane",
     "Presses the pane's Load File button (PANE is left or right) and answers the open\n"
     "dialog with FILE. REPLY answers the question asked first when the pane holds\n"
     "unsaved changes. A file that cannot be read shows \"[FileOpenError] Error opening\n"
     "file.\" and the pane keeps what it had.\n"},
    {HelpKind::Action, "drop", "drop PANE FILE [REPLY]", "drop FILE onto the pane's tree",
     "As dropping a file on the pane: a .obj or .obz file is attached as the pane's\n"
     "geometry, any other file is loaded. REPLY answers the unsaved-changes question as\n"
     "for load.\n"},
    {HelpKind::Action, "obj", "obj PANE FILE", "OBJ Geometry File: attach FILE",
     "Presses the pane's OBJ Geometry File button and answers the open dialog with FILE.\n"
     "The button is shown for figure files only; using it while hidden is a script error.\n"},
    {HelpKind::Action, "save", "save PANE FILE", "Save File: write the pane's file as FILE",
     "Presses Save File and answers the save dialog with FILE (no extension is added and\n"
     "no overwrite question is asked). The save-time repairs run as the preferences say.\n"
     "Before a load the button is disabled, which is a script error.\n"},
    {HelpKind::Action, "menu", "menu PANE ITEM ENTRY [REPLY...]", "right-click ITEM, choose ENTRY",
     "Right-clicks the item at the path ITEM (labels joined by \"/\", \"\\/\" for a \"/\" in a\n"
     "label) and chooses the context-menu entry ENTRY, written as the menu shows it.\n"
     "REPLY words answer the dialogs the entry opens, in order: yes, no, a file name or\n"
     "cancel. A grayed or missing entry is a script error.\n"},
    {HelpKind::Action, "options", "options PANE ENTRY [REPLY...]",
     "More Options, then the menu entry ENTRY",
     "Presses More Options (shown for pose files) and chooses ENTRY from its menu; REPLY\n"
     "words answer what the entry asks. The region dialog of \"Copy and zero specific\n"
     "regions.\" is filled in with the region action instead.\n"},
    {HelpKind::Action, "region", "region PANE REGION copy|zero|cancel [hands] [feet] [morphs]",
     "copy or zero the settings of a body region",
     "More Options, \"Copy and zero specific regions.\", then in the region dialog: the\n"
     "list entry REGION (as listed; \"\" for the empty entry, none for no choice), Copy\n"
     "or Zero Settings, the boxes Leave Hands Alone, Leave Feet Alone and Leave Morph\n"
     "Targets checked where named, and Ok (cancel presses Cancel).\n"},
    {HelpKind::Action, "combine", "combine PANE ITEM NAME add|subtract ENTRY...",
     "Combine Morph Targets on a MORPH TARGETS folder",
     "Opens \"Combine Morph Targets\" on the folder ITEM, types NAME as the new name,\n"
     "picks Add or Subtract, selects the listed ENTRY words (a morph target's name, or\n"
     "#N for the N-th entry from 0) and presses Combine. \"combine PANE ITEM cancel\"\n"
     "presses Cancel instead.\n"},
    {HelpKind::Action, "rename", "rename PANE ITEM TEXT", "edit ITEM's label to TEXT",
     "Ends an in-place label edit of ITEM with TEXT, as typing it and pressing Enter.\n"
     "Where the window refuses label editing (actors, folders, pose items) nothing\n"
     "happens.\n"},
    {HelpKind::Action, "key", "key PANE ITEM insert|delete [REPLY...]",
     "select ITEM and press Insert or Delete",
     "Selects ITEM and presses the key. REPLY words answer the confirmation a delete\n"
     "asks (no reply left means yes).\n"},
    {HelpKind::Action, "undo", "undo PANE", "undo the pane's last change (Ctrl+Z)",
     "Undoes the last change to the pane's file (a copy is a change of the pane it went\n"
     "into) and rebuilds its tree, as Ctrl+Z in the pane does. Undoing back to the file\n"
     "as last loaded or saved clears its modified flag. With nothing to undo nothing\n"
     "happens; that is no error. Each pane keeps its last 100 changes; a load clears them.\n"},
    {HelpKind::Action, "redo", "redo PANE", "redo the change last undone (Ctrl+Shift+Z)",
     "Redoes the change of the pane's file that undo took back last, as Ctrl+Shift+Z or\n"
     "Ctrl+Y in the pane does. A new change after an undo drops what could be redone.\n"
     "With nothing to redo nothing happens; that is no error.\n"},
    {HelpKind::Action, "properties", "properties PANE ITEM", "open Block Info on ITEM",
     "Chooses Properties on ITEM. The Block Info dialog stays open and the following\n"
     "lines act in it, until ok or cancel: change-data LINE TEXT, change-tag LINE TEXT,\n"
     "delete LINE [REPLY], show, size. LINE is an item path in the dialog's tree. The\n"
     "script must not end with the dialog open.\n"},
    {HelpKind::DialogLine, "change-data", "change-data LINE TEXT",
     "(Block Info) Change Data of LINE to TEXT",
     "Inside properties: chooses Change Data on LINE and enters TEXT.\n"},
    {HelpKind::DialogLine, "change-tag", "change-tag LINE TEXT",
     "(Block Info) Change Tag of LINE to TEXT",
     "Inside properties: chooses Change Tag on LINE and enters TEXT.\n"},
    {HelpKind::DialogLine, "delete", "delete LINE [REPLY]", "(Block Info) delete LINE",
     "Inside properties: chooses Delete on LINE; REPLY answers the confirmation.\n"},
    {HelpKind::DialogLine, "size", "size", "(Block Info) print the Memory Usage field",
     "Inside properties: prints the Memory Usage field as the dialog showed it on opening.\n"},
    {HelpKind::DialogLine, "ok", "ok | cancel", "(Block Info) close the dialog",
     "Inside properties: ok keeps the dialog's changes, cancel drops them.\n"},
    {HelpKind::Action, "show", "show PANE", "print the pane's tree",
     "Prints the pane's tree as the show command does; inside properties, the dialog's\n"
     "tree. A pane that never loaded prints nothing.\n"},
    {HelpKind::Action, "print", "print PANE", "print the pane's file as Save File writes it",
     "Prints the bytes Save File would write (CR LF line ends), without the save-time\n"
     "repairs. A pane that never loaded prints nothing.\n"},
    {HelpKind::Action, "state", "state PANE", "print the pane's state, one field a line",
     "Prints name: value lines: loaded, modified, viewKind, fileName, path, figureSuffix,\n"
     "geometryName, objFileName, loadButton, saveButton, objButton, optionsButton.\n"},
    {HelpKind::Action, "quit", "quit [REPLY]", "press Quit",
     "Presses Quit; REPLY answers the unsaved-changes question. If the window would\n"
     "close, the run ends here with the exit status reached so far.\n"},
};

constexpr const char* kUsage =
    "usage: tessary-cli show FILE [--view raw|figure|pose]\n"
    "       tessary-cli normalize FILE -o OUT\n"
    "       tessary-cli check FILE... [--obj OBJFILE] [--format text|json]\n"
    "       tessary-cli run SCRIPT [--set NAME=VALUE]...    (SCRIPT \"-\" reads standard input)\n"
    "       tessary-cli help NAME | --help | --version\n";

void WriteRow(std::ostream& out, const HelpEntry& entry) {
    constexpr std::size_t kColumn = 40;
    const std::string_view synopsis = entry.synopsis;
    out << "  " << synopsis;
    if (synopsis.size() + 2 < kColumn) {
        out << std::string(kColumn - 2 - synopsis.size(), ' ');
    } else {
        out << "  ";
    }
    out << entry.summary << '\n';
}

}  // namespace

int UsageError(std::ostream& err, const std::string& message) {
    err << "tessary-cli: " << message << '\n' << kUsage;
    return 2;
}

void WriteHelp(std::ostream& out) {
    out << "tessary-cli: the window-less face of Tessary.\n" << kUsage << "\nCommands:\n";
    for (const HelpEntry& entry : kHelp) {
        if (entry.kind == HelpKind::Command) {
            WriteRow(out, entry);
        }
    }
    out << "\nSession-script actions, one a line (tessary-cli help ACTION for details):\n";
    for (const HelpEntry& entry : kHelp) {
        if (entry.kind != HelpKind::Command) {
            WriteRow(out, entry);
        }
    }
}

bool WriteHelpOf(const std::string& name, std::ostream& out) {
    bool found = false;
    for (const HelpEntry& entry : kHelp) {
        // "cancel" closes Block Info like "ok"; "show" is a command and an action.
        if (name == entry.name || (name == "cancel" && std::string_view(entry.name) == "ok")) {
            out << (found ? "\n" : "") << entry.synopsis << "\n  " << entry.summary << "\n\n"
                << entry.details;
            found = true;
        }
    }
    return found;
}

}  // namespace tessary
