// SPDX-License-Identifier: GPL-3.0-or-later
// Files built to make the readers work hard: the work (bytes looked at) stays a
// bounded multiple of the file's size whatever it holds, the place reported
// never passes the file's end, and what follows a damaged region is read.

#include "interchange/adifreader.h"
#include "tests/interchange/hostileshapes.h"

#include <gtest/gtest.h>

#include <memory>
#include <sstream>

namespace ondelog::test {
namespace {

struct Outcome
{
    std::uint64_t examined = 0;
    std::uint64_t records = 0;
    std::uint64_t damaged = 0;
    std::uint64_t lastPlace = 0;
    bool placeWentBack = false;
};

Outcome readThrough(AdifFormat format, const std::string &text)
{
    std::istringstream in(text);
    const auto reader = makeAdifReader(format, in);
    Outcome outcome;
    AdifRecord record;
    for (AdifReadResult r; (r = reader->next(record)) != AdifReadResult::End;) {
        ++(r == AdifReadResult::Record ? outcome.records : outcome.damaged);
        outcome.placeWentBack |= reader->bytesRead() < outcome.lastPlace;
        outcome.lastPlace = reader->bytesRead();
        EXPECT_LE(reader->bytesRead(), text.size());
    }
    outcome.lastPlace = reader->bytesRead();
    outcome.examined = reader->bytesExamined();
    return outcome;
}

TEST(HostileFiles, WorkInProportionToTheirSize)
{
    constexpr std::size_t kMiB = 1u << 20;
    for (const HostileShape &shape : hostileShapes()) {
        for (const std::size_t size : {kMiB, 8 * kMiB}) {
            const Outcome o = readThrough(shape.format, hostileFile(shape, size));
            EXPECT_EQ(o.lastPlace, size) << shape.what;
            EXPECT_FALSE(o.placeWentBack) << shape.what;
            // Quadratic reading of the 1 MiB files looked at bytes a thousand
            // times their size.
            EXPECT_LE(o.examined, 10 * size) << shape.what << ", " << size / kMiB << " MiB";
        }
    }
}

// What the records read give, "!" for a damaged one.
std::string calls(AdifFormat format, const std::string &text)
{
    std::istringstream in(text);
    const auto reader = makeAdifReader(format, in);
    std::string out;
    AdifRecord record;
    for (AdifReadResult r; (r = reader->next(record)) != AdifReadResult::End;) {
        const std::string *call = record.find("CALL");
        out += r == AdifReadResult::Damaged ? "! " : (call ? *call : "?") + " ";
    }
    return out;
}

TEST(HostileFiles, ARecordBeyondTheLimitIsSkippedAndTheNextRead)
{
    const std::string big(kMaxAdifRecordBytes / 2 + 1, 'x');
    const std::string field = "<COMMENT:" + std::to_string(big.size()) + ">" + big + " ";
    EXPECT_EQ(calls(AdifFormat::Adi, "<CALL:5>F6ABC" + field + "<EOR><CALL:5>F5XYZ<EOR>"),
              "F6ABC F5XYZ ");
    EXPECT_EQ(calls(AdifFormat::Adi, "<CALL:5>F6ABC" + field + field + "<EOR><CALL:5>F5XYZ<EOR>"),
              "! F5XYZ ");
    EXPECT_EQ(
        calls(AdifFormat::Adx, "<RECORD><CALL>F6ABC</CALL><COMMENT>" + big + big +
                                   "</COMMENT></RECORD>\n<RECORD><CALL>F5XYZ</CALL></RECORD>"),
        "! F5XYZ ");
}

// An unclosed record after the first 64 KiB of a file whose length is a
// multiple of 64 KiB once sent the place past the end and lost what followed.
TEST(HostileFiles, AdxPlaceStaysInTheFileAtEveryLength)
{
    constexpr std::size_t kBlock = 64 * 1024;
    for (const std::size_t size : {2 * kBlock - 1, 2 * kBlock, 2 * kBlock + 1, 3 * kBlock}) {
        for (const std::size_t unclosedAt : {kBlock + 10, size - 200}) {
            std::string text = "<ADX><RECORDS><RECORD><CALL>F6ABC</CALL></RECORD>";
            text.resize(unclosedAt, ' ');
            text += "<RECORD><CALL>CUT</CALL>\n<RECORD><CALL>F5XYZ</CALL></RECORD>";
            text += "</RECORDS></ADX>";
            text.resize(size, ' ');
            const Outcome o = readThrough(AdifFormat::Adx, text);
            EXPECT_EQ(o.lastPlace, size) << size << " " << unclosedAt;
            EXPECT_FALSE(o.placeWentBack) << size << " " << unclosedAt;
            EXPECT_EQ(calls(AdifFormat::Adx, text), "F6ABC ! F5XYZ ") << size << " " << unclosedAt;
        }
    }
}

} // namespace
} // namespace ondelog::test
