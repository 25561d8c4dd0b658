// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// ADIF files built to make a reader work hard: each repeats one small piece to
// any size. Shared by the tests, which count the readers' work on them, and
// the benchmarks, which time them.

#include "interchange/adiftransfer.h"

#include <string>
#include <vector>

namespace ondelog::test {

struct HostileShape
{
    const char *what = "";
    AdifFormat format = AdifFormat::Adi;
    std::string head; ///< once at the start
    std::string unit; ///< repeated to the size asked
    std::string tail; ///< once at the end
};

inline std::vector<HostileShape> hostileShapes()
{
    const std::string utf8Text(40, 'x');
    return {
        {"huge lengths, then one <EOR>", AdifFormat::Adi, "", "<A:999999>", "<EOR>"},
        {"huge lengths, each over an <EOR>", AdifFormat::Adi, "", "<A:999999><EOR>", ""},
        {"lengths in characters over UTF-8 text", AdifFormat::Adi, "",
         "<A:99999>\xC3\xA9\xC3\xA9" + utf8Text, "<EOR>"},
        {"huge lengths over UTF-8 text and <EOR>", AdifFormat::Adi, "",
         "<A:999999>\xC3\xA9\xC3\xA9<EOR>x", ""},
        {"one record without <EOR>", AdifFormat::Adi, "", "<CALL:5>F6ABC", ""},
        {"empty fields without <EOR>", AdifFormat::Adi, "", "<A:0>", ""},
        {"lone '<'", AdifFormat::Adi, "", "<", ""},
        {"tags that never close", AdifFormat::Adi, "", "<" + std::string(300, 'a'), ""},
        {"records that never close", AdifFormat::Adx, "", "<RECORD>x", ""},
        {"nested records", AdifFormat::Adx, "", "<RECORD><CALL>F6ABC</CALL>", ""},
        {"one record without end", AdifFormat::Adx, "<RECORD>", "<CALL>F6ABC</CALL>", ""},
        {"ends without records", AdifFormat::Adx, "", "</RECORD>", ""},
        {"lone '<' in XML", AdifFormat::Adx, "", "<", ""},
    };
}

/** The shape's unit repeated to `size` bytes, its tail included. */
inline std::string hostileFile(const HostileShape &shape, std::size_t size)
{
    std::string text = shape.head;
    text.reserve(size);
    while (text.size() + shape.unit.size() + shape.tail.size() <= size)
        text += shape.unit;
    text += shape.tail;
    text.resize(size, ' ');
    return text;
}

} // namespace ondelog::test
