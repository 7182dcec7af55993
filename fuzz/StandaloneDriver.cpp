// Runs a fuzz entry point without libFuzzer: over the files given, and with
// --damage over every file of a folder plus damaged variants of each.
#include <algorithm>
#include <cstdlib>
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

// Positions 0 … size − 1, all of them for small inputs, else `limit` spread evenly.
std::vector<std::size_t> Positions(std::size_t size, std::size_t limit) {
    std::vector<std::size_t> positions;
    const std::size_t count = std::min(size, limit);
    for (std::size_t k = 0; k < count; ++k) positions.push_back(size <= limit ? k : k * size / count);
    return positions;
}

std::size_t Damage(const std::vector<std::uint8_t>& seed, std::mt19937& random, int rounds,
                   std::size_t positionLimit) {
    std::size_t runs = 0;
    // Truncations.
    for (std::size_t n : Positions(seed.size(), positionLimit)) {
        Run(std::vector<std::uint8_t>(seed.begin(), seed.begin() + static_cast<std::ptrdiff_t>(n)));
        ++runs;
    }
    // Bytes set to a few telling values.
    for (std::size_t i : Positions(seed.size(), positionLimit)) {
        for (std::uint8_t value : {0x00, 0x01, 0x7F, 0x80, 0xFF}) {
            std::vector<std::uint8_t> copy = seed;
            copy[i] = value;
            Run(copy);
            ++runs;
        }
    }
    // Random flips, insertions and deletions.
    for (int round = 0; round < rounds && !seed.empty(); ++round, ++runs) {
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
    int rounds = 2000;
    std::size_t positionLimit = 4096;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--damage") {
            damage = true;
            continue;
        }
        // --rounds N random edits per seed; --positions N truncations and byte
        // substitutions per seed at most (spread over larger seeds).
        if ((arg == "--rounds" || arg == "--positions") && i + 1 < argc) {
            const long value = std::strtol(argv[++i], nullptr, 10);
            if (arg == "--rounds") rounds = static_cast<int>(std::max(0L, value));
            else positionLimit = static_cast<std::size_t>(std::max(1L, value));
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
            if (damage) runs += Damage(seed, random, rounds, positionLimit);
        }
    }
    std::printf("%zu inputs run\n", runs);
    return 0;
}
