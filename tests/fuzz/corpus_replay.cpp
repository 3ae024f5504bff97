// Runs the fuzz target once over every file of the given corpus folders, without
// libFuzzer, so that the ordinary (and the sanitizer) test build checks the kept
// corpus on every run. Exit status 0 when every input passed (a failing input
// aborts inside the target), 1 when a folder is missing or holds no input.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

int main(int argc, char** argv) {
    std::size_t inputs = 0;
    for (int a = 1; a < argc; ++a) {
        std::error_code error;
        std::filesystem::directory_iterator folder(argv[a], error);
        if (error) {
            std::fprintf(stderr, "corpus_replay: cannot read %s: %s\n", argv[a],
                         error.message().c_str());
            return 1;
        }
        for (const auto& entry : folder) {
            if (!entry.is_regular_file()) continue;
            std::ifstream file(entry.path(), std::ios::binary);
            const std::vector<char> bytes{std::istreambuf_iterator<char>(file),
                                          std::istreambuf_iterator<char>()};
            LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t*>(bytes.data()),
                                   bytes.size());
            ++inputs;
        }
    }
    std::printf("corpus_replay: %zu inputs passed\n", inputs);
    return inputs > 0 ? 0 : 1;
}
