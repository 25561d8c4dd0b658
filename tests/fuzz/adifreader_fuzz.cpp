// Mutates the seed files and feeds every mutant to both ADIF readers and to
// the mapping into a contact, built with the address and undefined-behaviour
// sanitizers: any read outside a buffer or any crash fails the run. The
// mutations come from a fixed seed, so a failure is repeated by running again;
// `adifreader_fuzz CORPUS [ITERATIONS] [SEED]`.

#include "interchange/adifmapping.h"
#include "interchange/adifreader.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <sstream>
#include <string>
#include <vector>

namespace {

using namespace ondelog;

const std::vector<std::string> kTokens = {"<EOR>",
                                          "<eoh>",
                                          "<CALL:",
                                          ":5>",
                                          ":99999999>",
                                          ":0>",
                                          "<NAME:6>",
                                          "\xC3",
                                          "\xC3\xA9",
                                          "\xE2\x82\xAC",
                                          "\xF0\x9F\x93\xBB",
                                          "<",
                                          ">",
                                          ":",
                                          "\0",
                                          "\x1A",
                                          "\r\n",
                                          "<RECORD>",
                                          "</RECORD>",
                                          "<![CDATA[",
                                          "&amp;",
                                          "<APP PROGRAMID=\"ONDELOG\" FIELDNAME=\"DEPT\">",
                                          "<QSO_DATE:8>20591231",
                                          "<TIME_ON:6>",
                                          "<GRIDSQUARE:8>",
                                          "<FREQ:10>",
                                          "<BAND:3>"};

std::string mutate(std::string data, std::mt19937_64 &random)
{
    auto pick = [&random](std::size_t n) {
        return n == 0 ? 0 : static_cast<std::size_t>(random() % n);
    };
    const int steps = 1 + static_cast<int>(pick(8));
    for (int s = 0; s < steps; ++s) {
        const std::size_t at = pick(data.size() + 1);
        switch (pick(6)) {
        case 0: // flip a byte
            if (!data.empty())
                data[pick(data.size())] = static_cast<char>(random());
            break;
        case 1: // insert a byte
            data.insert(at, 1, static_cast<char>(random()));
            break;
        case 2: // cut a range
            data.erase(at, pick(32));
            break;
        case 3: // repeat a range
            if (at < data.size())
                data.insert(pick(data.size()), data.substr(at, pick(64)));
            break;
        case 4: // a token the readers react to
            data.insert(at, kTokens[pick(kTokens.size())]);
            break;
        case 5: // a digit in a length
            data.insert(at, 1, static_cast<char>('0' + pick(10)));
            break;
        }
    }
    return data;
}

void consume(AdifReader &reader)
{
    AdifRecord record;
    for (int guard = 0; guard < 100000; ++guard) {
        const AdifReadResult r = reader.next(record);
        if (r == AdifReadResult::End)
            return;
        if (r == AdifReadResult::Record)
            contactFromAdif(record, "JN18EU");
    }
    std::fprintf(stderr, "the reader never reached the end\n");
    std::abort();
}

} // namespace

int main(int argc, char **argv)
{
    if (argc < 2) {
        std::fprintf(stderr, "usage: %s CORPUS [ITERATIONS] [SEED]\n", argv[0]);
        return 2;
    }
    std::vector<std::string> seeds;
    for (const auto &entry : std::filesystem::directory_iterator(argv[1])) {
        std::ifstream in(entry.path(), std::ios::binary);
        seeds.emplace_back(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    if (seeds.empty()) {
        std::fprintf(stderr, "no seed in %s\n", argv[1]);
        return 2;
    }
    const long iterations = argc > 2 ? std::atol(argv[2]) : 20000;
    std::mt19937_64 random(argc > 3 ? std::strtoull(argv[3], nullptr, 10) : 20261208);

    std::string data;
    for (long i = 0; i < iterations; ++i) {
        // Mostly mutants of a seed, sometimes mutants of the last mutant.
        data = mutate(random() % 4 == 0 && !data.empty() ? data : seeds[random() % seeds.size()],
                      random);
        {
            std::istringstream in(data);
            AdiReader reader(in);
            consume(reader);
        }
        {
            std::istringstream in(data);
            AdxReader reader(in);
            consume(reader);
        }
    }
    std::printf("%ld inputs read without fault\n", iterations);
    return 0;
}
