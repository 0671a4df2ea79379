// Runs a fuzz entry point without libFuzzer, so the targets build and run with any
// compiler: every file under the given paths once (seeds and the inputs that once
// failed), then simple random mutations of them from a fixed seed until the time or the
// count runs out. A fault shows as the process dying, as under the fuzzer.
#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <random>
#include <string>
#include <vector>

#include <csignal>
#include <fcntl.h>
#include <unistd.h>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

using Bytes = std::vector<uint8_t>;

Bytes ReadFile(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Files in a stable order, so that a run is the same on every machine.
std::vector<std::filesystem::path> CollectFiles(const std::vector<std::string>& roots)
{
    std::vector<std::filesystem::path> files;
    for (const std::string& root : roots) {
        std::error_code error;
        if (std::filesystem::is_regular_file(root, error)) {
            files.emplace_back(root);
            continue;
        }
        if (!std::filesystem::is_directory(root, error))
            continue; // a folder without cases yet
        for (const auto& entry : std::filesystem::recursive_directory_iterator(root, error))
            if (entry.is_regular_file())
                files.push_back(entry.path());
    }
    std::sort(files.begin(), files.end());
    return files;
}

// The input being run, written out when the target dies so that it can be kept.
const Bytes* g_current = nullptr;

void OnFault(int signal)
{
    const char file[] = "crash-replay";
    const int fd = ::open(file, O_WRONLY | O_CREAT | O_TRUNC, 0644);
    if (fd >= 0 && g_current) {
        if (::write(fd, g_current->data(), g_current->size()) < 0) {
        }
        ::close(fd);
    }
    const char note[] = "\nreplay: the input that failed is in ./crash-replay\n";
    if (::write(2, note, sizeof note - 1) < 0) {
    }
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

void Run(const Bytes& input)
{
    g_current = &input;
    // A copy of exactly the input's size, so that reading past its end is a fault the
    // allocator can see, as under the fuzzer.
    std::unique_ptr<uint8_t[]> copy(new uint8_t[input.size()]);
    if (!input.empty())
        std::memcpy(copy.get(), input.data(), input.size());
    LLVMFuzzerTestOneInput(copy.get(), input.size());
}

Bytes Mutate(const std::vector<Bytes>& corpus, std::mt19937& random, size_t maxLength)
{
    auto pick = [&random](size_t n) { return n == 0 ? size_t{0} : std::uniform_int_distribution<size_t>(0, n - 1)(random); };
    Bytes out = corpus[pick(corpus.size())];
    const size_t steps = 1 + pick(4);
    for (size_t step = 0; step < steps; ++step) {
        switch (pick(6)) {
        case 0: // flip a bit
            if (!out.empty())
                out[pick(out.size())] ^= static_cast<uint8_t>(1u << pick(8));
            break;
        case 1: // an interesting byte
            if (!out.empty()) {
                static const uint8_t special[] = {0, 0xFF, 0x7F, 0x80, '\n', '\r', '"', '\\', '=', '[', ']', '<', '>', ':', ','};
                out[pick(out.size())] = special[pick(sizeof special)];
            }
            break;
        case 2: // insert a random byte
            out.insert(out.begin() + static_cast<std::ptrdiff_t>(pick(out.size() + 1)), static_cast<uint8_t>(pick(256)));
            break;
        case 3: { // delete a range
            if (out.empty())
                break;
            const size_t at = pick(out.size());
            const size_t n = 1 + pick(std::min<size_t>(out.size() - at, 16));
            out.erase(out.begin() + static_cast<std::ptrdiff_t>(at), out.begin() + static_cast<std::ptrdiff_t>(at + n));
            break;
        }
        case 4: { // repeat a range
            if (out.empty())
                break;
            const size_t at = pick(out.size());
            const size_t n = 1 + pick(std::min<size_t>(out.size() - at, 64));
            const Bytes piece(out.begin() + static_cast<std::ptrdiff_t>(at), out.begin() + static_cast<std::ptrdiff_t>(at + n));
            out.insert(out.begin() + static_cast<std::ptrdiff_t>(pick(out.size() + 1)), piece.begin(), piece.end());
            break;
        }
        default: { // splice in a piece of another input
            const Bytes& other = corpus[pick(corpus.size())];
            if (other.empty())
                break;
            const size_t at = pick(other.size());
            const size_t n = 1 + pick(std::min<size_t>(other.size() - at, 256));
            out.insert(out.begin() + static_cast<std::ptrdiff_t>(pick(out.size() + 1)),
                       other.begin() + static_cast<std::ptrdiff_t>(at), other.begin() + static_cast<std::ptrdiff_t>(at + n));
            break;
        }
        }
    }
    if (out.size() > maxLength)
        out.resize(maxLength);
    return out;
}

int Usage(const char* program)
{
    std::fprintf(stderr, "usage: %s [--seconds N] [--runs N] [--max-len N] PATH...\n", program);
    return 2;
}

} // namespace

int main(int argc, char** argv)
{
    for (int signal : {SIGABRT, SIGSEGV, SIGBUS, SIGFPE, SIGILL})
        std::signal(signal, OnFault);
    double seconds = 2;
    unsigned long runs = 100000;
    size_t maxLength = 64 * 1024;
    std::vector<std::string> roots;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if ((arg == "--seconds" || arg == "--runs" || arg == "--max-len") && i + 1 < argc) {
            const char* value = argv[++i];
            if (arg == "--seconds")
                seconds = std::atof(value);
            else if (arg == "--runs")
                runs = std::strtoul(value, nullptr, 10);
            else
                maxLength = std::strtoul(value, nullptr, 10);
        } else if (arg.rfind("--", 0) == 0) {
            return Usage(argv[0]);
        } else {
            roots.push_back(arg);
        }
    }

    std::vector<Bytes> corpus;
    for (const std::filesystem::path& file : CollectFiles(roots)) {
        corpus.push_back(ReadFile(file));
        Run(corpus.back());
    }
    std::printf("replayed %zu inputs\n", corpus.size());
    if (corpus.empty())
        corpus.emplace_back();

    const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
    std::mt19937 random(20261207);
    unsigned long done = 0;
    for (; done < runs && std::chrono::steady_clock::now() < deadline; ++done)
        Run(Mutate(corpus, random, maxLength));
    std::printf("ran %lu mutated inputs\n", done);
    return 0;
}
