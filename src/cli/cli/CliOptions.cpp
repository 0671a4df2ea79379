#include "cli/cli/CliOptions.h"

#include <cerrno>
#include <cstdlib>

namespace cva::cli {

namespace {

bool ParseInt(const std::string& text, int& value) {
    if (text.empty()) return false;
    char* end = nullptr;
    errno = 0;
    const long parsed = std::strtol(text.c_str(), &end, 10);
    if (errno != 0 || *end != '\0' || parsed < -2147483647L - 1 || parsed > 2147483647L) return false;
    value = static_cast<int>(parsed);
    return true;
}

// "I=VALUE" with a decimal index.
bool ParseAssignment(const std::string& text, int& index, std::string& value) {
    const size_t equals = text.find('=');
    if (equals == std::string::npos) return false;
    value = text.substr(equals + 1);
    return ParseInt(text.substr(0, equals), index);
}

// preset save FILE | preset apply FILE
bool ParsePresetCommand(const std::vector<std::string>& positional, SOptions& options, std::string& error) {
    if (positional.size() != 3 || (positional[1] != "save" && positional[1] != "apply")) {
        error = "preset takes save FILE or apply FILE";
        return false;
    }
    options.presetCommand = positional[1];
    options.presetFile = positional[2];
    if (!options.actions.empty() || options.button || options.link || !options.answers.empty()) {
        error = "preset takes no actions or answers (the preset file holds them)";
        return false;
    }
    return true;
}

} // namespace

const char* UsageText() {
    return R"(Usage: cva-cli [--target SPEC] [--plugins DIR] [--profile NAME] [--allow-host-drives]
               [--json] COMMAND ...

Shows the plugin catalogue, opens a plugin page and applies it, as the main window does.

Commands:
  list [--view all|popular|favorites|applied]
        The catalogue: each folder of the bar with its category tree; leaves show
        their plugin file names. The whole catalogue comes from the cache while the
        cache was made from the plugin folder as it is now; when plugins were added,
        removed or changed, or another folder is used, the folder is read again.
  refresh
        Reads every plugin of the folder again, rebuilds the cache and prints the
        catalogue as list does (the window's "Refresh All").
  show PLUGIN
        Opens the plugin (a path, or a file name in the plugin folder), runs its start
        routine and prints the page: kind, header, level, description, every item
        (caption, shown or hidden, enabled, check state or value, combo entries and
        selection, spin and slider ranges), list rows and buttons, and whether Apply
        is enabled.
  apply PLUGIN [ACTIONS]
        Opens the plugin, performs the actions in the order given, then presses Apply
        (or the button or link named), and prints the messages the script showed and
        the page afterwards. The history (applied.ini) and the day's log are written
        as the window writes them.
        With --dry-run (the window's "Preview") the script runs against an overlay of
        the target: its registry, INI and file writes are captured, not performed,
        and reads see them. It prints the changes the apply would make (key, value,
        type and data before and after; INI entries and files likewise) and changes
        nothing: no history, log or journal entry. With --json an object whose
        "changes" array lists them (empty: nothing would change; docs/preview.md).
        A script that fails shows its error and exits as a real apply would.
  export PLUGIN FILE
        Saves the registry keys and values the plugin's "Export" section names, as
        they are on the target now, to FILE for the registry editor (the window's
        "Export Tweak"); the plugin's script does not run. An existing FILE is added
        to, never emptied. The file is REGEDIT4 while all its text is ASCII, else
        "Windows Registry Editor Version 5.00" (UTF-16): either imports back to the
        same keys and values with regedit, wine regedit or cva-reg import. Another
        user's profile is written as HKEY_CURRENT_USER.
  history
        The journal of changes, newest first: each entry's id, time (UTC), kind
        (apply, or undo), plugin, target, profile and number of changes. Every script
        routine that changes the registry, an INI file or other files (a page's Apply
        above all) makes one entry, with the state before each change, in the
        "journal" folder beside applied.ini
        (docs/journal.md describes the files). With --json a list of {"id", "time",
        "kind", "plugin", "target", "profile", "changes", "undoes"}.
  undo [ENTRY] [--force]
        Takes back the journal entry ENTRY (an id from history; by default the newest
        apply on this target that was not undone, so repeated undos walk back):
        every value, key, INI entry and file goes back to its state before the entry,
        newest change first; a value that was absent is deleted again, a deleted key
        is made again with its values, a file comes back from the Trash or from the
        bytes the entry kept (a file the undo takes away goes to the Trash). The undo is an entry of its own, so it can be
        undone. When something the entry changed is no longer as the entry left it,
        the undo is refused and the differences are listed, as it is when a file
        was too large to keep (said as a warning by the apply); --force undoes the
        rest anyway.
        An entry made with --profile NAME is undone with the same --profile.
  preset save FILE [--force]
        Writes a preset (docs/presets.md) of the plugins in the history of applied
        plugins, oldest first, each with what its page was given at its newest apply
        that was not undone (as the journal recorded it). A plugin whose actions the
        journal does not know is left out, with a comment in the file. An existing
        FILE is replaced only with --force.
  preset apply FILE [--dry-run]
        Applies every plugin of the preset in order on each target (--target may be
        given several times: Wine prefixes, offline disks, sandboxes, one after the
        other), performing its actions and pressing Apply (or its button or link), and
        prints per target the plugins applied, the changes made (each value, key, INI
        entry or file left otherwise than it was, as apply --dry-run lists them) and
        the failures, with each failure's reason; with --json {"dryRun", "targets":
        [{"target", "error", "plugins": [{"plugin", "status", "applied", "changes",
        "diff", "messages"}], "applied", "changes", "failures"}], "applied", "changes",
        "failures"}, "diff" being the "changes" array of apply --dry-run. With --dry-run
        every plugin runs as apply --dry-run does: the summary tells what would change
        and nothing is changed or recorded. Giving the command answers the "apply the
        tweaks?" confirmation with Yes (--no answers it No); the script's questions take
        the preset's answers. A failed plugin or target does not stop the others.

A file that is no plugin (empty, binary, or without a [settings] section) is refused.
Each message is printed with its type (msg, confirm, input, error, alert), its title
(before the text unless it is the program's own name) and text, and the answer it got;
in JSON as {"type", "title", "text", "answer", "defaulted"}, "title" empty when the
box has none.

Actions (item and row numbers start at 0):
  --check I=0|1      clear or set check box I (check page, multi page check and radio
                     items), clicking as often as it takes: a three-state box passes
                     its indeterminate state
  --text I=VALUE     type VALUE into edit line I (edit page, multi page edit, spin, combo),
                     or move slider I to position VALUE
  --select I         choose radio button I, or select list row I
  --row-check R=0|1  clear or set the check box of list row R (checklist pages)
  --combo I=TEXT     pick the entry TEXT of combo item I (typed when it is no entry)
  --button N         press list button N instead of Apply (0 is Apply)
  --link N           follow the page link cva:N of an html page instead of Apply

Answers:
  --yes | --no       answer the "apply the tweaks?" confirmation; without either it
                     is answered No and nothing is applied
  --answer TEXT      answer the script's next question (a box with more than one
                     button: ok, cancel, yes, no, abort, retry, ignore; yes and no also
                     answer an OK/Cancel box) or input box (its text); repeatable, used
                     in order. An answer the box does not offer is an error. A question
                     without an answer takes the one that changes nothing (Cancel, else
                     No, else Abort; an input box is cancelled), reported as defaulted.

Options:
  --target SPEC      sandbox, sandbox:DIR, wine:PATH, offline:PATH; without it the stored
                     setting "Target", and with none stored, the sandbox; preset apply
                     takes every --target given, the other commands the last
  --plugins DIR      the plugin folder for this run (the "PluginDir" setting is left
                     as it is); without it the "PluginDir" setting, then the "plugins"
                     folder beside the program, then ../share/corvanta/plugins (where
                     an installed copy keeps them)
  --profile NAME     edit the settings of another user of the target: NAME is the
                     folder name of a profile in the target's ProfileList (the sandbox
                     has Administrator and Helpdesk). That user's NTUSER.DAT is loaded
                     as HKEY_USERS\Corvanta and every HKCU path of the plugin goes there;
                     it is saved to its own file and unloaded at the end. The running
                     user's name selects the running user. A name not in the list, or a
                     hive that cannot be loaded, ends the run with status 4 and nothing
                     changed
  --allow-host-drives
                     let plugins reach the drives of a Wine prefix that lie outside it
                     (Z: is the whole host) for this run; the setting "AllowHostDrives"
                     (1) does it for every run
  --json             machine-readable output (list, refresh, show, apply, export,
                     history, preset apply)
  --timeout SECONDS  a script routine (the start routine, Apply, a button) still
                     running after that long is stopped with the script error "The
                     script was stopped by the program"; what it wrote until then is
                     saved, as after any script error. Default 60; 0 is no limit
  --help             this text

Exit status: 0 on success; 1 when the plugin's script reported an error; 2 when the
plugin file is missing or no plugin, the catalogue does not show the plugin for the
target (its OSVERSION: "WINE" is for Wine prefixes only), an --answer does not fit its
box, or the command line is wrong; 3 when an action or Apply could not be performed on
the page, the plugin has nothing to export, or an undo is refused or could not put
everything back; 4 when the target cannot be opened; 5 when the target refused the
changes of the apply (a running wineserver, a read-only file or folder), which is then
neither recorded in the history nor logged, when the undo could not be saved, or when
the export file could not be written (it is then left as it was). preset apply exits
with the status of its first failure (4 when a target could not be opened), 0 when
every plugin went through on every target.
)";
}

bool ParseOptions(const std::vector<std::string>& args, SOptions& options, std::string& error) {
    std::vector<std::string> positional;
    for (size_t i = 0; i < args.size(); ++i) {
        const std::string& a = args[i];
        auto value = [&](std::string& out) {
            if (i + 1 >= args.size()) {
                error = a + " needs a value";
                return false;
            }
            out = args[++i];
            return true;
        };
        std::string v;
        if (a == "--help" || a == "-h") {
            options.help = true;
        } else if (a == "--json") {
            options.json = true;
        } else if (a == "--force") {
            options.force = true;
        } else if (a == "--dry-run") {
            options.dryRun = true;
        } else if (a == "--allow-host-drives") {
            options.allowHostDrives = true;
        } else if (a == "--yes") {
            options.confirm = true;
        } else if (a == "--no") {
            options.confirm = false;
        } else if (a == "--target" || a == "--plugins" || a == "--profile" || a == "--view" ||
                   a == "--answer") {
            if (!value(v)) return false;
            if (a == "--target") {
                options.target = v;
                options.targets.push_back(v);
            }
            else if (a == "--plugins") options.plugins = v;
            else if (a == "--profile") options.profile = v;
            else if (a == "--view") options.view = v;
            else options.answers.push_back(v);
        } else if (a == "--timeout") {
            if (!value(v)) return false;
            char* end = nullptr;
            const double seconds = std::strtod(v.c_str(), &end);
            if (v.empty() || *end || !(seconds >= 0) || seconds > 1e9) {
                error = "bad number of seconds for --timeout: " + v;
                return false;
            }
            options.timeout = std::chrono::milliseconds(static_cast<int64_t>(seconds * 1000));
        } else if (a == "--check" || a == "--text" || a == "--row-check" || a == "--combo") {
            if (!value(v)) return false;
            using EKind = app::SPresetAction::EKind;
            SAction given;
            given.option = a + " " + v;
            app::SPresetAction& action = given.action;
            action.m_kind = a == "--check"   ? EKind::Check
                            : a == "--text"  ? EKind::Text
                            : a == "--combo" ? EKind::Combo
                                             : EKind::RowCheck;
            if (!ParseAssignment(v, action.m_index, action.m_value) ||
                ((action.m_kind == EKind::Check || action.m_kind == EKind::RowCheck) &&
                 action.m_value != "0" && action.m_value != "1")) {
                error = "bad value for " + a + ": " + v;
                return false;
            }
            options.actions.push_back(given);
        } else if (a == "--select" || a == "--button" || a == "--link") {
            if (!value(v)) return false;
            int n = 0;
            if (!ParseInt(v, n)) {
                error = "bad number for " + a + ": " + v;
                return false;
            }
            if (a == "--select") {
                options.actions.push_back({{app::SPresetAction::EKind::Select, n, {}}, a + " " + v});
            } else if (a == "--button") {
                options.button = n;
            } else {
                options.link = n;
            }
        } else if (a.size() > 1 && a[0] == '-' && a != "-") {
            error = "unknown option " + a;
            return false;
        } else {
            positional.push_back(a);
        }
    }
    if (options.help) return true;
    if (positional.empty()) {
        error = "no command given";
        return false;
    }
    options.command = positional[0];
    if (options.command == "list" || options.command == "refresh") {
        if (positional.size() != 1) {
            error = options.command + " takes no arguments";
            return false;
        }
        if (options.command == "refresh" && options.view != "all") {
            error = "refresh rebuilds the whole catalogue (no --view)";
            return false;
        }
        if (options.view != "all" && options.view != "popular" && options.view != "favorites" &&
            options.view != "applied") {
            error = "unknown view " + options.view;
            return false;
        }
    } else if (options.command == "show" || options.command == "apply") {
        if (positional.size() != 2) {
            error = options.command + " takes one plugin";
            return false;
        }
        options.plugin = positional[1];
        if (options.command == "show" && (!options.actions.empty() || options.button || options.link)) {
            error = "show takes no actions (use apply)";
            return false;
        }
        if (options.button && options.link) {
            error = "--button and --link exclude each other";
            return false;
        }
    } else if (options.command == "export") {
        if (positional.size() != 3) {
            error = "export takes one plugin and one file";
            return false;
        }
        options.plugin = positional[1];
        options.exportFile = positional[2];
        if (!options.actions.empty() || options.button || options.link) {
            error = "export takes no actions";
            return false;
        }
    } else if (options.command == "history") {
        if (positional.size() != 1) {
            error = "history takes no arguments";
            return false;
        }
    } else if (options.command == "undo") {
        if (positional.size() > 2) {
            error = "undo takes at most one entry";
            return false;
        }
        if (positional.size() == 2) options.entry = positional[1];
    } else if (options.command == "preset") {
        if (!ParsePresetCommand(positional, options, error)) return false;
    } else {
        error = "unknown command " + options.command;
        return false;
    }
    if (options.dryRun && (options.command == "list" || options.command == "refresh" ||
                           options.command == "show" || options.command == "export" ||
                           options.command == "history" || options.command == "undo" ||
                           (options.command == "preset" && options.presetCommand == "save"))) {
        error = options.command + " takes no --dry-run (it is for apply)";
        return false;
    }
    return true;
}

} // namespace cva::cli
