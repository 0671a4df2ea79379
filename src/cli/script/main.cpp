#include "cli/script/HostServices.h"
#include "cli/script/ScriptRunner.h"

#include <cstdio>
#include <fstream>
#include <iostream>
#include <sstream>
#include <string>
#include <vector>

namespace {

void Usage()
{
    std::fprintf(stderr, "Usage: cvascript [//nologo] FILE [ARGS...]\n");
}

} // namespace

int main(int argc, char** argv)
{
    bool nologo = false;
    std::string file;
    std::vector<std::string> args;
    for (int i = 1; i < argc; ++i) {
        std::string a = argv[i];
        if (file.empty() && a.size() > 2 && a[0] == '/' && a[1] == '/') {
            if (a == "//nologo" || a == "//NoLogo" || a == "//NOLOGO")
                nologo = true;
            else if (a == "//logo")
                nologo = false;
            else {
                Usage();
                return 1;
            }
            continue;
        }
        if (file.empty())
            file = a;
        else
            args.push_back(a);
    }
    if (file.empty()) {
        Usage();
        return 1;
    }
    if (!nologo)
        std::cout << "Corvanta Script Host Version 1.0\n\n";
    std::ifstream in(file, std::ios::binary);
    if (!in) {
        std::cerr << "Input Error: Can not find script file \"" << file << "\".\n";
        return 1;
    }
    std::ostringstream buf;
    buf << in.rdbuf();
    cva::cli::ScriptOutput output;
    output.out = [](std::string_view s) { std::cout.write(s.data(), static_cast<std::streamsize>(s.size())); };
    output.err = [](std::string_view s) {
        std::cout.flush();
        std::cerr.write(s.data(), static_cast<std::streamsize>(s.size()));
    };
    cva::cli::CHostServices services;
    int rc = cva::cli::RunScriptText(file, cva::cli::DecodeScriptText(buf.str()), args, output, &services);
    std::cout.flush();
    return rc;
}
