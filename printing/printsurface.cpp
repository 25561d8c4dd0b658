// SPDX-License-Identifier: GPL-3.0-or-later
#include "printing/printsurface.h"

namespace ondelog {

double RecordingSurface::textWidth(std::string_view text) const
{
    if (m_measure)
        return m_measure->width(m_fontName, m_fontSize, m_bold, text);
    return static_cast<double>(text.size()) * m_fontSize * 10.0;
}

double RecordingSurface::textHeight() const
{
    if (m_measure)
        return m_measure->height(m_fontName, m_fontSize, m_bold);
    return m_fontSize * 20.0;
}

void RecordingSurface::drawText(double x, double y, std::string_view text)
{
    PrintCommand c;
    c.kind = PrintCommand::Kind::Text;
    c.x1 = x;
    c.y1 = y;
    c.x2 = x + textWidth(text);
    c.y2 = y + textHeight();
    c.text = text;
    c.fontName = m_fontName;
    c.fontSize = m_fontSize;
    c.bold = m_bold;
    m_commands.push_back(std::move(c));
}

void RecordingSurface::line(double x1, double y1, double x2, double y2)
{
    m_commands.push_back({PrintCommand::Kind::Line, x1, y1, x2, y2, {}, {}, 0, false});
}

void RecordingSurface::rectangle(double x1, double y1, double x2, double y2)
{
    m_commands.push_back({PrintCommand::Kind::Rectangle, x1, y1, x2, y2, {}, {}, 0, false});
}

void RecordingSurface::endDocument()
{
    m_commands.push_back({PrintCommand::Kind::EndDocument, 0, 0, 0, 0, {}, {}, 0, false});
}

std::vector<PrintCommand> RecordingSurface::commands(PrintCommand::Kind kind) const
{
    std::vector<PrintCommand> found;
    for (const PrintCommand &c : m_commands)
        if (c.kind == kind)
            found.push_back(c);
    return found;
}

std::vector<PrintCommand> RecordingSurface::texts(std::string_view text) const
{
    std::vector<PrintCommand> found;
    for (const PrintCommand &c : m_commands)
        if (c.kind == PrintCommand::Kind::Text && c.text == text)
            found.push_back(c);
    return found;
}

} // namespace ondelog
