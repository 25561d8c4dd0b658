// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/paintersurface.h"

#include "ui/qtext.h"

#include <QFontMetricsF>
#include <QPainter>
#include <QPen>

namespace ondelog {

QStringList fontFamilies(const QString &name)
{
    // The layouts keep the names the log sheets always asked for, misspelt
    // "Courrier" included; each maps to the face it meant, then to what a
    // Debian desktop has (fonts-liberation, fonts-comic-neue).
    const QString key = name.toLower();
    if (key == QLatin1String("courrier") || key == QLatin1String("courier new"))
        return {name, QStringLiteral("Courier New"), QStringLiteral("Liberation Mono"),
                QStringLiteral("DejaVu Sans Mono"), QStringLiteral("Monospace")};
    if (key == QLatin1String("comic sans ms"))
        return {name, QStringLiteral("Comic Sans MS"), QStringLiteral("Comic Neue"),
                QStringLiteral("Sans Serif")};
    if (key == QLatin1String("ms sans serif"))
        return {name, QStringLiteral("Microsoft Sans Serif"), QStringLiteral("Liberation Sans"),
                QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif")};
    return {name};
}

QFont paperFont(std::string_view name, double points, bool bold, double dotsPerInch)
{
    QFont font;
    font.setFamilies(fontFamilies(toQString(std::string(name))));
    // Pixels from the surface's own resolution, not the device's idea of it:
    // an image and a printer then agree to the pixel.
    font.setPixelSize(std::max(1, int(points * dotsPerInch / 72.0 + 0.5)));
    font.setBold(bold);
    return font;
}

double PaperTextMeasure::width(std::string_view fontName, double points, bool bold,
                               std::string_view text) const
{
    const QFontMetricsF metrics(paperFont(fontName, points, bold, m_dotsPerInch));
    return metrics.horizontalAdvance(toQString(std::string(text))) * 1440.0 / m_dotsPerInch;
}

double PaperTextMeasure::height(std::string_view fontName, double points, bool bold) const
{
    const QFontMetricsF metrics(paperFont(fontName, points, bold, m_dotsPerInch));
    return (metrics.ascent() + metrics.descent()) * 1440.0 / m_dotsPerInch;
}

PainterSurface::PainterSurface(QPainter &painter, double dotsPerInch)
    : m_painter(painter), m_dotsPerInch(dotsPerInch)
{
    updateFont();
    QPen pen(Qt::black);
    // A rule of a hundredth of an inch: visible on paper, fine on screen.
    pen.setWidthF(std::max(1.0, m_dotsPerInch / 100.0));
    m_painter.setPen(pen);
    m_painter.setBrush(Qt::NoBrush);
}

void PainterSurface::updateFont()
{
    m_font = paperFont(m_fontName, m_points, m_bold, m_dotsPerInch);
}

void PainterSurface::setFontName(std::string_view name)
{
    m_fontName = name;
    updateFont();
}

void PainterSurface::setFontSize(double points)
{
    m_points = points;
    updateFont();
}

void PainterSurface::setBold(bool bold)
{
    m_bold = bold;
    updateFont();
}

double PainterSurface::textWidth(std::string_view text) const
{
    const QFontMetricsF metrics(m_font, m_painter.device());
    return metrics.horizontalAdvance(toQString(std::string(text))) * 1440.0 / m_dotsPerInch;
}

void PainterSurface::drawText(double x, double y, std::string_view text)
{
    m_painter.setFont(m_font);
    const QFontMetricsF metrics(m_font, m_painter.device());
    m_painter.drawText(QPointF(toDevice(x), toDevice(y) + metrics.ascent()),
                       toQString(std::string(text)));
}

void PainterSurface::line(double x1, double y1, double x2, double y2)
{
    m_painter.drawLine(QPointF(toDevice(x1), toDevice(y1)), QPointF(toDevice(x2), toDevice(y2)));
}

void PainterSurface::rectangle(double x1, double y1, double x2, double y2)
{
    m_painter.drawRect(
        QRectF(QPointF(toDevice(x1), toDevice(y1)), QPointF(toDevice(x2), toDevice(y2)))
            .normalized());
}

QImage renderPage(const std::function<void(PrintSurface &)> &layout, int dotsPerInch)
{
    const double widthInches = 210.0 / 25.4;
    const double heightInches = 297.0 / 25.4;
    QImage image(int(widthInches * dotsPerInch + 0.5), int(heightInches * dotsPerInch + 0.5),
                 QImage::Format_RGB32);
    image.setDotsPerMeterX(int(dotsPerInch / 0.0254 + 0.5));
    image.setDotsPerMeterY(int(dotsPerInch / 0.0254 + 0.5));
    image.fill(Qt::white);
    QPainter painter(&image);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setRenderHint(QPainter::TextAntialiasing);
    painter.translate(dotsPerInch / 4.0, dotsPerInch / 4.0);
    PainterSurface surface(painter, dotsPerInch);
    layout(surface);
    painter.end();
    return image;
}

} // namespace ondelog
