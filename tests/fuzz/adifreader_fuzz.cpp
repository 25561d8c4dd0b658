// SPDX-License-Identifier: GPL-3.0-or-later
// Mutates the seed files and feeds every mutant to both ADIF readers and to
// the mapping into a contact, built with the address and undefined-behaviour
// sanitizers: any read outside a buffer or any crash fails the run. The
// mutant's bytes also make contacts, which must come back from an export and
// an import exactly as they were (folded to ASCII through ADI): whatever text
// a log holds, tags included, never breaks its round trip. The mutations come
// from a fixed seed, so a failure is repeated by running again;
// `adifreader_fuzz CORPUS [ITERATIONS] [SEED]`.

#include "interchange/adifmapping.h"
#include "interchange/adifreader.h"
#include "interchange/adiftransfer.h"
#include "interchange/adifwriter.h"
#include "tests/fuzz/fuzzcheck.h"

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
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

// A contact the log can hold, from any bytes: printable Windows-1252 in every
// field (a control byte is moved up to a printable one), and a call sign that
// is there and does not read as the log's end. Nothing when none can be made.
std::optional<QsoRecord> contactFrom(std::string_view bytes)
{
    if (bytes.size() < kRecordSize)
        return std::nullopt;
    QsoRecord record;
    for (std::size_t i = 0; i < kRecordSize; ++i) {
        auto u = static_cast<unsigned char>(bytes[i]);
        if (u < 0x20 || u == 0x7F)
            u = static_cast<unsigned char>(u + 0x40);
        record.bytes()[i] = static_cast<char>(u);
    }
    const std::string call = record.field(Field::CSGN);
    if (call.empty() || !isCallSignStorable(call))
        return std::nullopt;
    return record;
}

void checkRoundTrip(const QsoRecord &record, AdifFormat format)
{
    const QsoRecord expected = format == AdifFormat::Adi ? foldRecord(record) : record;
    std::string file;
    appendAdifHeader(file, exportHeader("20261208 000000"), format);
    appendAdifRecord(file, contactToAdif(expected, ExportContext{"F6ABC"}, format), format);
    appendAdifFooter(file, format);

    std::istringstream in(file);
    const std::unique_ptr<AdifReader> reader = makeAdifReader(format, in);
    AdifRecord adif;
    FUZZ_CHECK(reader->next(adif) == AdifReadResult::Record);
    const ImportedContact back = contactFromAdif(adif, "JN18EU");
    FUZZ_CHECK(back.skip == ImportSkip::None);
    FUZZ_CHECK(back.record.bytes() == expected.bytes());
    FUZZ_CHECK(reader->next(adif) == AdifReadResult::End);
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
    long contacts = 0;
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
        for (std::size_t at = 0; at < data.size() && at < 4 * kRecordSize; at += kRecordSize) {
            if (const auto record = contactFrom(std::string_view(data).substr(at))) {
                checkRoundTrip(*record, AdifFormat::Adi);
                checkRoundTrip(*record, AdifFormat::Adx);
                ++contacts;
            }
        }
    }
    std::printf("%ld inputs read without fault, %ld contacts back from their round trip\n",
                iterations, contacts);
    return 0;
}
