#include "gui/app/CommandLine.h"

#include <filesystem>

namespace cva::gui {

SCommandLine ParseCommandLine(const QStringList& arguments) {
    SCommandLine line;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString& argument = arguments[i];
        if (argument == QLatin1String("--target")) {
            if (i + 1 >= arguments.size()) {
                line.m_error = "--target needs a target";
                break;
            }
            line.m_target = arguments[++i].toStdString();
        } else if (argument.startsWith(QLatin1String("--target="))) {
            line.m_target = argument.mid(9).toStdString();
        } else if (argument == QLatin1String("--allow-host-drives")) {
            line.m_allowHostDrives = true;
        } else if (argument == QLatin1String("--help") || argument == QLatin1String("-h")) {
            line.m_help = true;
        } else if (argument.startsWith(QLatin1String("--"))) {
            line.m_error = "unknown option " + argument.toStdString();
            break;
        } else {
            std::error_code ec;
            const std::filesystem::path absolute =
                std::filesystem::absolute(argument.toStdString(), ec);
            line.m_singlePlugin =
                ec ? argument.toStdString() : absolute.lexically_normal().string();
        }
    }
    return line;
}

const char* UsageText() {
    return R"(Usage: cva [--target SPEC] [--allow-host-drives] [PLUGIN-FILE]

Opens the window: the plugin catalogue and the pages that change hidden Windows
settings of the target.

  --target SPEC        sandbox, sandbox:DIR, wine:PATH, offline:PATH; without it the
                       stored setting "Target", and with none stored, the sandbox
  --allow-host-drives  lets plugins reach the drives of a Wine prefix that lie outside
                       it (a fresh prefix maps Z: to /); the stored setting
                       "AllowHostDrives" does the same
  PLUGIN-FILE          shows only this plugin instead of the catalogue
  -h, --help           this text

The window needs a display. Without one, cva-cli lists the catalogue and shows and
applies plugin pages on the command line (see cva-cli --help).
)";
}

bool HasDisplay(const QStringList& arguments) {
    QString platforms = qEnvironmentVariable("QT_QPA_PLATFORM");
    for (qsizetype i = 1; i + 1 < arguments.size(); ++i)
        if (arguments[i] == QLatin1String("-platform") ||
            arguments[i] == QLatin1String("--platform"))
            platforms = arguments[i + 1];
    const bool x11 = !qEnvironmentVariableIsEmpty("DISPLAY");
    const bool wayland = !qEnvironmentVariableIsEmpty("WAYLAND_DISPLAY");
    if (platforms.isEmpty()) return x11 || wayland;
    // Qt tries a list "a;b" in turn; a name may carry options after a colon.
    for (const QString& entry : platforms.split(QLatin1Char(';'), Qt::SkipEmptyParts)) {
        const QString name = entry.section(QLatin1Char(':'), 0, 0).trimmed();
        if (name == QLatin1String("xcb")) {
            if (x11) return true;
        } else if (name.startsWith(QLatin1String("wayland"))) {
            if (wayland) return true;
        } else {
            return true;
        }
    }
    return false;
}

std::optional<int> CheckBeforeQt(const QStringList& arguments, std::string& out, std::string& err) {
    if (ParseCommandLine(arguments).m_help) {
        out += UsageText();
        return 0;
    }
    if (!HasDisplay(arguments)) {
        err += "cva: the window needs a display, and none is set (DISPLAY or WAYLAND_DISPLAY).\n"
               "Use cva-cli to list the catalogue and to show and apply plugin pages on the\n"
               "command line (see cva-cli --help).\n";
        return 1;
    }
    return std::nullopt;
}

} // namespace cva::gui
