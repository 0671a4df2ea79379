#include "cli/reg/RegTool.h"

#include <iostream>

int main(int argc, char** argv) {
    std::vector<std::string> args(argv + 1, argv + argc);
    cva::cli::CRegTool tool(std::cin, std::cout, std::cerr);
    return tool.Run(args);
}
