// SPDX-License-Identifier: GPL-3.0-or-later
// Runs a fuzz target without libFuzzer (the project builds with g++): every
// file of the corpus folder as it is, then a fixed number of mutations of them,
// drawn from a fixed seed so that a failure can be replayed. Each mutation is
// one of what damages files in practice: flipped bits, bytes set to the values
// the readers look for, bytes inserted or removed, a cut, two inputs spliced.
//
//   fuzz_xxx CORPUS_FOLDER [ITERATIONS [SEED]]
//
// The targets keep libFuzzer's entry point, so that a clang build can link them
// against libFuzzer instead of this file for open-ended runs.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size);

namespace {

constexpr std::size_t kMaxSize = 4096;

const std::string kInteresting = std::string("\\ \"',\r\n\t\0\x7F\xA4\xE9/:.0129AZaz", 23);

std::string mutate(std::string input, const std::vector<std::string> &corpus, std::mt19937 &random)
{
    auto below = [&](std::size_t n) {
        return n == 0 ? 0 : std::uniform_int_distribution<std::size_t>(0, n - 1)(random);
    };
    const std::size_t steps = 1 + below(4);
    for (std::size_t step = 0; step < steps; ++step) {
        switch (below(7)) {
        case 0: // flip a bit
            if (!input.empty())
                input[below(input.size())] ^= static_cast<char>(1u << below(8));
            break;
        case 1: // a byte the readers look for
            if (!input.empty())
                input[below(input.size())] = kInteresting[below(kInteresting.size())];
            break;
        case 2: // any byte
            if (!input.empty())
                input[below(input.size())] = static_cast<char>(below(256));
            break;
        case 3: // insert a few bytes
            input.insert(below(input.size() + 1), below(8) + 1,
                         kInteresting[below(kInteresting.size())]);
            break;
        case 4: // remove a few bytes
            if (!input.empty()) {
                const std::size_t at = below(input.size());
                input.erase(at, below(input.size() - at) % 16 + 1);
            }
            break;
        case 5: // cut the end
            input.resize(below(input.size() + 1));
            break;
        default: { // splice with another input
            const std::string &other = corpus[below(corpus.size())];
            const std::size_t from = below(other.size() + 1);
            input = input.substr(0, below(input.size() + 1)) + other.substr(from);
            break;
        }
        }
    }
    if (input.size() > kMaxSize)
        input.resize(kMaxSize);
    return input;
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s CORPUS_FOLDER [ITERATIONS [SEED]]\n", argv[0]);
        return 2;
    }
    const long iterations = argc > 2 ? std::atol(argv[2]) : 20000;
    const unsigned seed = argc > 3 ? static_cast<unsigned>(std::atol(argv[3])) : 8u;

    std::vector<std::string> corpus;
    for (const auto &entry : std::filesystem::directory_iterator(argv[1])) {
        std::ifstream in(entry.path(), std::ios::binary);
        corpus.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    if (corpus.empty()) {
        std::fprintf(stderr, "empty corpus: %s\n", argv[1]);
        return 2;
    }

    auto run = [](const std::string &input) {
        LLVMFuzzerTestOneInput(reinterpret_cast<const std::uint8_t *>(input.data()), input.size());
    };
    for (const std::string &input : corpus)
        run(input);
    std::mt19937 random(seed);
    for (long i = 0; i < iterations; ++i)
        run(mutate(corpus[i % static_cast<long>(corpus.size())], corpus, random));
    std::printf("%zu corpus inputs, %ld mutations, seed %u: no fault\n", corpus.size(), iterations,
                seed);
    return 0;
}
