// Runs a fuzz target's LLVMFuzzerTestOneInput once on every file of a corpus
// folder, as libFuzzer does when given the folder, but without libFuzzer: the
// targets' invariants are checked in every test run, with any compiler.
//
//   fuzz_run_replay FOLDER
//
// A broken invariant aborts; the input that broke it is named on standard
// error before the program ends, also when a sanitizer ends it.

#include <algorithm>
#include <csignal>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <string>
#include <system_error>
#include <unistd.h>
#include <vector>

#if defined(__SANITIZE_ADDRESS__)
#define VARNHOLT_SANITIZED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer) || __has_feature(undefined_behavior_sanitizer)
#define VARNHOLT_SANITIZED 1
#endif
#endif
#ifdef VARNHOLT_SANITIZED
#include <sanitizer/common_interface_defs.h>
#endif

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);

namespace {

namespace fs = std::filesystem;

// The input being replayed, for the report of a run that ends inside it.
const char *current = nullptr;

void nameCurrentInput()
{
    if (!current)
        return;
    // Only calls that are safe in a signal handler.
    constexpr char before[] = "fuzz replay: the run ended on input ";
    [[maybe_unused]] ssize_t written = write(STDERR_FILENO, before, sizeof before - 1);
    written = write(STDERR_FILENO, current, std::strlen(current));
    written = write(STDERR_FILENO, "\n", 1);
}

extern "C" void onFatalSignal(int signal)
{
    nameCurrentInput();
    std::signal(signal, SIG_DFL);
    std::raise(signal);
}

std::vector<std::uint8_t> readInput(const fs::path &path)
{
    std::ifstream in(path, std::ios::binary);
    return { std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>() };
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: %s CORPUS_FOLDER\n", argv[0]);
        return 2;
    }
    const fs::path folder = argv[1];
    std::error_code error;
    std::vector<fs::path> inputs;
    for (const fs::directory_entry &entry : fs::directory_iterator(folder, error))
        if (entry.is_regular_file())
            inputs.push_back(entry.path());
    if (error || inputs.empty()) {
        std::fprintf(stderr, "fuzz replay: no inputs in %s\n", folder.c_str());
        return 1;
    }
    std::sort(inputs.begin(), inputs.end());

    for (int signal : { SIGABRT, SIGSEGV, SIGBUS, SIGFPE, SIGILL })
        std::signal(signal, onFatalSignal);
#ifdef VARNHOLT_SANITIZED
    __sanitizer_set_death_callback(nameCurrentInput);
#endif

    for (const fs::path &path : inputs) {
        const std::vector<std::uint8_t> bytes = readInput(path);
        // A buffer of exactly the input's size, as libFuzzer passes, so that
        // AddressSanitizer sees any read past its end.
        const std::unique_ptr<std::uint8_t[]> data(new std::uint8_t[bytes.size()]);
        std::copy(bytes.begin(), bytes.end(), data.get());
        current = path.c_str();
        LLVMFuzzerTestOneInput(data.get(), bytes.size());
        current = nullptr;
    }
    std::printf("fuzz replay: %zu inputs from %s\n", inputs.size(), folder.c_str());
    return 0;
}
