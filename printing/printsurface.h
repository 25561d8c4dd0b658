// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the paper layouts draw on. Coordinates are twips (1/1440 inch) from the
// printable origin of the page; fonts are asked for by name and the surface
// finds the nearest it has. Texts are Windows-1252 bytes, like every text of
// the core. A text is printed at the current position, which then moves right
// by the text's width, so that several texts follow one another on a line.

#include <string>
#include <string_view>
#include <vector>

namespace ondelog {

class PrintSurface
{
  public:
    virtual ~PrintSurface() = default;

    virtual void setFontName(std::string_view name) = 0;
    /** Points; fractional sizes are allowed. */
    virtual void setFontSize(double points) = 0;
    virtual void setBold(bool bold) = 0;

    void moveTo(double x, double y)
    {
        m_x = x;
        m_y = y;
    }
    double currentX() const { return m_x; }
    double currentY() const { return m_y; }

    /** Prints `text` with its top left at the current position, then moves the
     *  current position right by its width. */
    void print(std::string_view text)
    {
        drawText(m_x, m_y, text);
        m_x += textWidth(text);
    }
    /** Width of `text` in the current font, in twips. */
    virtual double textWidth(std::string_view text) const = 0;

    virtual void line(double x1, double y1, double x2, double y2) = 0;
    /** Outline of the rectangle between two corners. */
    virtual void rectangle(double x1, double y1, double x2, double y2) = 0;
    /** The page is complete: it goes to the printer. */
    virtual void endDocument() = 0;

  protected:
    virtual void drawText(double x, double y, std::string_view text) = 0;

  private:
    double m_x = 0;
    double m_y = 0;
};

/** How a device measures texts, for a recording surface that stands in for it. */
class TextMeasure
{
  public:
    virtual ~TextMeasure() = default;
    /** Width of `text` in twips. */
    virtual double width(std::string_view fontName, double points, bool bold,
                         std::string_view text) const = 0;
    /** Height of a line of text, from the top of its ascent to the bottom of its
     *  descent, in twips. */
    virtual double height(std::string_view fontName, double points, bool bold) const = 0;
};

/** One drawing command as a recording surface keeps it. */
struct PrintCommand
{
    enum class Kind
    {
        Text,
        Line,
        Rectangle,
        EndDocument,
    };
    Kind kind = Kind::Text;
    /** A text's position is (x1, y1), the far corner of its measured box (x2, y2). */
    double x1 = 0, y1 = 0, x2 = 0, y2 = 0;
    std::string text;     ///< Windows-1252
    std::string fontName; ///< font in force for a text
    double fontSize = 0;
    bool bold = false;
};

/** Keeps the commands drawn on it. Without a measure, text widths are a fixed
 *  advance of half an em per character (10 twips per point) and lines an em
 *  high, so that layouts that measure texts can be checked exactly; with one,
 *  texts are measured as the device it stands for would draw them. */
class RecordingSurface : public PrintSurface
{
  public:
    explicit RecordingSurface(const TextMeasure *measure = nullptr) : m_measure(measure) {}

    void setFontName(std::string_view name) override { m_fontName = name; }
    void setFontSize(double points) override { m_fontSize = points; }
    void setBold(bool bold) override { m_bold = bold; }
    double textWidth(std::string_view text) const override;
    void line(double x1, double y1, double x2, double y2) override;
    void rectangle(double x1, double y1, double x2, double y2) override;
    void endDocument() override;

    const std::vector<PrintCommand> &commands() const { return m_commands; }
    /** The commands of one kind, in order. */
    std::vector<PrintCommand> commands(PrintCommand::Kind kind) const;
    /** The text commands whose text is exactly `text`. */
    std::vector<PrintCommand> texts(std::string_view text) const;

  protected:
    void drawText(double x, double y, std::string_view text) override;

  private:
    double textHeight() const;

    const TextMeasure *m_measure;
    std::vector<PrintCommand> m_commands;
    std::string m_fontName;
    double m_fontSize = 10;
    bool m_bold = false;
};

} // namespace ondelog
