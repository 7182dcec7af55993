// Runs a fuzz entry point without libFuzzer: over the files given, and with
// --damage over every file of a folder plus damaged variants of each.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

std::vector<std::uint8_t> ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

void Run(const std::vector<std::uint8_t>& input) { LLVMFuzzerTestOneInput(input.data(), input.size()); }

std::size_t Damage(const std::vector<std::uint8_t>& seed, std::mt19937& random) {
    std::size_t runs = 0;
    // Every truncation.
    for (std::size_t n = 0; n < seed.size(); ++n, ++runs)
        Run(std::vector<std::uint8_t>(seed.begin(), seed.begin() + static_cast<std::ptrdiff_t>(n)));
    // Every byte set to a few telling values.
    for (std::size_t i = 0; i < seed.size(); ++i) {
        for (std::uint8_t value : {0x00, 0x01, 0x7F, 0x80, 0xFF}) {
            std::vector<std::uint8_t> copy = seed;
            copy[i] = value;
            Run(copy);
            ++runs;
        }
    }
    // Random flips, insertions and deletions.
    for (int round = 0; round < 2000 && !seed.empty(); ++round, ++runs) {
        std::vector<std::uint8_t> copy = seed;
        const int edits = 1 + static_cast<int>(random() % 8);
        for (int e = 0; e < edits && !copy.empty(); ++e) {
            const std::size_t at = random() % copy.size();
            switch (random() % 3) {
            case 0: copy[at] ^= static_cast<std::uint8_t>(1u << (random() % 8)); break;
            case 1: copy.insert(copy.begin() + static_cast<std::ptrdiff_t>(at), static_cast<std::uint8_t>(random())); break;
            default: copy.erase(copy.begin() + static_cast<std::ptrdiff_t>(at)); break;
            }
        }
        Run(copy);
    }
    return runs;
}

} // namespace

int main(int argc, char** argv) {
    std::mt19937 random(20261210);
    std::size_t runs = 0;
    bool damage = false;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--damage") {
            damage = true;
            continue;
        }
        std::vector<std::filesystem::path> files;
        if (std::filesystem::is_directory(arg)) {
            for (const auto& entry : std::filesystem::directory_iterator(arg))
                if (entry.is_regular_file()) files.push_back(entry.path());
        } else {
            files.emplace_back(arg);
        }
        std::sort(files.begin(), files.end());
        if (files.empty()) {
            std::fprintf(stderr, "no inputs in %s\n", arg.c_str());
            return 1;
        }
        for (const auto& file : files) {
            const std::vector<std::uint8_t> seed = ReadFile(file);
            Run(seed);
            ++runs;
            if (damage) runs += Damage(seed, random);
        }
    }
    std::printf("%zu inputs run\n", runs);
    return 0;
}
