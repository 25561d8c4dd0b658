// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The paper layouts drawn with QPainter: on a printer, a PDF file, the print
// preview or an image. Twips become device pixels at the device's resolution,
// so every device shows the same page; fonts asked for by their old names fall
// back to the nearest the system has.

#include "printing/printsurface.h"

#include <QFont>
#include <QImage>
#include <QRectF>

#include <functional>
#include <string>

class QPainter;

namespace ondelog {

class PainterSurface : public PrintSurface
{
  public:
    /** `dotsPerInch`: the resolution of the painter's device. */
    PainterSurface(QPainter &painter, double dotsPerInch);

    void setFontName(std::string_view name) override;
    void setFontSize(double points) override;
    void setBold(bool bold) override;
    double textWidth(std::string_view text) const override;
    void line(double x1, double y1, double x2, double y2) override;
    void rectangle(double x1, double y1, double x2, double y2) override;
    void endDocument() override {}

    /** The painter and the device rectangle of a box given in twips: for what a
     *  layout draws with Qt itself (a chart) among its texts and lines. */
    QPainter &painter() { return m_painter; }
    QRectF deviceRect(double x1, double y1, double x2, double y2) const
    {
        return {toDevice(x1), toDevice(y1), toDevice(x2 - x1), toDevice(y2 - y1)};
    }

  protected:
    void drawText(double x, double y, std::string_view text) override;

  private:
    double toDevice(double twips) const { return twips * m_dotsPerInch / 1440.0; }
    void updateFont();

    QPainter &m_painter;
    double m_dotsPerInch;
    std::string m_fontName = "MS sans Serif";
    double m_points = 10;
    bool m_bold = false;
    QFont m_font;
};

/** The families tried, in order, for a font a layout names. */
QStringList fontFamilies(const QString &name);

/** The font a PainterSurface at `dotsPerInch` draws with for a layout's font. */
QFont paperFont(std::string_view name, double points, bool bold, double dotsPerInch);

/** Texts measured as a PainterSurface at `dotsPerInch` draws them: a recording
 *  surface given this measure sees the widths a printer or a PDF file gets. */
class PaperTextMeasure : public TextMeasure
{
  public:
    explicit PaperTextMeasure(double dotsPerInch = 1200) : m_dotsPerInch(dotsPerInch) {}
    double width(std::string_view fontName, double points, bool bold,
                 std::string_view text) const override;
    double height(std::string_view fontName, double points, bool bold) const override;

  private:
    double m_dotsPerInch;
};

/** An A4 page drawn on a white image at `dotsPerInch`, with the quarter-inch
 *  margin a printer leaves around its printable area. */
QImage renderPage(const std::function<void(PrintSurface &)> &layout, int dotsPerInch);

} // namespace ondelog
