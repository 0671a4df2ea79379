#include "gui/app/CommandLine.h"
#include "gui/app/TarnwickApp.h"

#include <cstdio>

int main(int argc, char** argv) {
    QStringList arguments;
    for (int i = 0; i < argc; ++i)
        arguments << QString::fromLocal8Bit(argv[i]);
    std::string out, err;
    if (const std::optional<int> status = cva::gui::CheckBeforeQt(arguments, out, err)) {
        std::fputs(out.c_str(), stdout);
        std::fputs(err.c_str(), stderr);
        return *status;
    }
    cva::gui::CTarnwickApp app(argc, argv);
    return app.Run();
}
