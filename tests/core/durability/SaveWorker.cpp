// The child process of the kill test: saves one kind of file in a loop, generation after
// generation, telling its parent on standard output which generation it is about to
// save. With "once" it saves one generation and ends.
#include "core/durability/SaveKinds.h"

#include <cstdio>
#include <string>
#include <unistd.h>

int main(int argc, char** argv) {
    using namespace cva::test;
    if (argc < 3) return 2;
    const std::optional<ESaveKind> kind = KindFromName(argv[1]);
    if (!kind) return 2;
    const std::string folder = argv[2];
    const bool once = argc > 3 && std::string(argv[3]) == "once";
    std::string why;
    const std::optional<long> start = ReadGeneration(*kind, folder, why);
    if (!start) {
        std::fprintf(stderr, "torn at start: %s\n", why.c_str());
        return 3;
    }
    for (long generation = *start + 1;; ++generation) {
        // Unbuffered, so that the parent knows of it even when we die right after.
        const std::string line = std::to_string(generation) + "\n";
        if (::write(STDOUT_FILENO, line.data(), line.size()) < 0) return 4;
        std::string error;
        if (!SaveGeneration(*kind, folder, generation, error)) {
            std::fprintf(stderr, "save failed: %s\n", error.c_str());
            return 5;
        }
        if (once) return 0;
    }
}
