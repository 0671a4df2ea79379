#include "cli/cli/CliCommands.h"
#include "cli/cli/CliOptions.h"

#include <cstdio>
#include <string>
#include <vector>

int main(int argc, char** argv) {
    using namespace cva::cli;
    std::vector<std::string> args(argv + 1, argv + argc);
    SOptions options;
    std::string error;
    if (!ParseOptions(args, options, error)) {
        std::fprintf(stderr, "cva-cli: %s\n(see cva-cli --help)\n", error.c_str());
        return kExitUsage;
    }
    if (options.help) {
        std::fputs(UsageText(), stdout);
        return kExitOk;
    }
    std::string out;
    std::string err;
    const int status = RunCommand(options, out, err);
    std::fwrite(out.data(), 1, out.size(), stdout);
    if (!err.empty()) std::fprintf(stderr, "cva-cli: %s", err.c_str());
    return status;
}
