// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a printed page must never show: a text touching or crossing a rule. The
// page is checked on the commands a recording surface kept, each text with the
// box its font really gives it; and the contacts and labels that fill every
// field to the width the log allows.

#include "printing/labelsheet.h"
#include "printing/printsurface.h"
#include "printing/textfit.h"

#include "logbook/record.h"

#include <algorithm>
#include <sstream>
#include <string>
#include <vector>

namespace ondelog::test {

/** The texts of `surface` whose box comes nearer than `padding` to a vertical
 *  rule beside it, or nearer than `clearance` to a horizontal rule above or
 *  below it (rectangle sides count as rules): one line each, to report. */
inline std::vector<std::string> textsTouchingRules(const RecordingSurface &surface, double padding,
                                                   double clearance)
{
    struct Segment
    {
        double x1, y1, x2, y2;
    };
    std::vector<Segment> rules;
    for (const PrintCommand &c : surface.commands()) {
        if (c.kind == PrintCommand::Kind::Line) {
            rules.push_back({std::min(c.x1, c.x2), std::min(c.y1, c.y2), std::max(c.x1, c.x2),
                             std::max(c.y1, c.y2)});
        } else if (c.kind == PrintCommand::Kind::Rectangle) {
            const double l = std::min(c.x1, c.x2), r = std::max(c.x1, c.x2);
            const double t = std::min(c.y1, c.y2), b = std::max(c.y1, c.y2);
            rules.push_back({l, t, r, t});
            rules.push_back({l, b, r, b});
            rules.push_back({l, t, l, b});
            rules.push_back({r, t, r, b});
        }
    }
    std::vector<std::string> faults;
    for (const PrintCommand &t : surface.commands(PrintCommand::Kind::Text)) {
        if (t.text.empty())
            continue;
        // The box as it must stay clear: wider by the padding, taller by the clearance.
        const double l = t.x1 - padding, r = t.x2 + padding;
        const double top = t.y1 - clearance, bottom = t.y2 + clearance;
        for (const Segment &s : rules) {
            const bool vertical = s.x1 == s.x2;
            const bool crosses = vertical
                                     ? s.x1 > l && s.x1 < r && s.y2 > t.y1 && s.y1 < t.y2
                                     : s.y1 > top && s.y1 < bottom && s.x2 > t.x1 && s.x1 < t.x2;
            if (crosses) {
                std::ostringstream out;
                out << '"' << t.text << "\" " << t.fontSize << " pt, box (" << t.x1 << ", " << t.y1
                    << ")-(" << t.x2 << ", " << t.y2 << ") touches the rule (" << s.x1 << ", "
                    << s.y1 << ")-(" << s.x2 << ", " << s.y2 << ")";
                faults.push_back(out.str());
                break;
            }
        }
    }
    return faults;
}

/** The texts cut with the mark, and those among them not at the smallest size:
 *  a text is cut only when it cannot fit any smaller. */
inline std::vector<std::string> cutTexts(const RecordingSurface &surface, bool *allSmallest)
{
    std::vector<std::string> cut;
    *allSmallest = true;
    for (const PrintCommand &t : surface.commands(PrintCommand::Kind::Text))
        if (t.text.find(kCutMark) != std::string::npos) {
            cut.push_back(t.text);
            *allSmallest = *allSmallest && t.fontSize == kSmallestPoints;
        }
    return cut;
}

/** A contact whose fields are as long as the log allows, with values an
 *  operator meets (Windows-1252). */
inline QsoRecord widestContact()
{
    QsoRecord r;
    r.setField(Field::CSGN, "VP2MWW/DL1ABC/P");
    r.setField(Field::DQSO, "28/08/88");
    r.setField(Field::HDEB, "23:58");
    r.setField(Field::HFIN, "23:59");
    r.setField(Field::FREQ, "1296.20000");
    r.setField(Field::MODE, "MFSK8");
    r.setField(Field::SRST, "599+40dB");
    r.setField(Field::MRST, "599+20dB");
    r.setField(Field::SQTH, "Saint-Denis (R\xE9union) 974");
    r.setField(Field::SNOM, "Marie-Fran\xE7oise");
    r.setField(Field::MQSL, "16/10/99");
    r.setField(Field::SQSL, "16/10/99");
    r.setField(Field::MLOC, "JN18EU");
    return r;
}

/** Every field filled to its width with the widest letter there is. */
inline QsoRecord fullestContact()
{
    QsoRecord r;
    for (int f = 1; f <= kFieldCount; ++f)
        r.setField(f, std::string(fieldLayout(f).width, 'W'));
    return r;
}

inline LabelRecord widestLabel()
{
    LabelRecord label;
    label.setField(LabelField::CallSign, "VP2MWW/DL1ABC/P");
    label.setField(LabelField::From, "TM2024/F6XYZ/MM");
    label.setField(LabelField::Manager, "VE3WWW/W2QSL/MM");
    label.setField(LabelField::Routing, "VIA F5NEW BURO!");
    label.setField(LabelField::Date, "16/10/99");
    label.setField(LabelField::Time, "03:00");
    label.setField(LabelField::Frequency, "1296.20000");
    label.setField(LabelField::Rst, "599+40dB");
    label.setField(LabelField::Mode, "MFSK8");
    label.setField(LabelField::QsoNumber, "32767");
    return label;
}

inline LabelRecord fullestLabel()
{
    LabelRecord label;
    for (LabelField f : {LabelField::CallSign, LabelField::From, LabelField::Manager,
                         LabelField::Routing, LabelField::Date, LabelField::Time,
                         LabelField::Frequency, LabelField::Rst, LabelField::Mode})
        label.setField(f, std::string(kLabelRecordSize, 'W')); // cut to the field's width
    label.setField(LabelField::QsoNumber, "1");
    return label;
}

} // namespace ondelog::test
