// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/stationline.h"

#include <QHBoxLayout>
#include <QLabel>
#include <QResizeEvent>

namespace ondelog {

namespace {

const QColor kProblemColour(0xA8, 0x32, 0x00);

void paintText(QLabel *label, bool problem)
{
    if (!problem) {
        label->setPalette(QPalette()); // the status line's own colours
        return;
    }
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, kProblemColour);
    label->setPalette(palette);
}

} // namespace

/** A label that shows as much of its text as its width allows, "…" at the end:
 *  a long notice never widens the window, and shows whole when there is room. */
class ElidingLabel : public QLabel
{
  public:
    explicit ElidingLabel(QWidget *parent) : QLabel(parent)
    {
        setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Preferred);
    }
    void setFullText(const QString &text)
    {
        m_full = text;
        updateGeometry();
        elide();
    }
    const QString &fullText() const { return m_full; }
    QSize sizeHint() const override
    {
        const int wanted = fontMetrics().horizontalAdvance(m_full) + 2 * margin() + 4;
        return {std::min(wanted, kWidestHint), QLabel::sizeHint().height()};
    }
    QSize minimumSizeHint() const override { return {kNarrowest, QLabel::sizeHint().height()}; }

  protected:
    void resizeEvent(QResizeEvent *event) override
    {
        QLabel::resizeEvent(event);
        elide();
    }

  private:
    static constexpr int kWidestHint = 640;
    static constexpr int kNarrowest = 120;
    void elide() { setText(fontMetrics().elidedText(m_full, Qt::ElideRight, width())); }

    QString m_full;
};

StationLine::StationLine(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("PictStation"));
    m_notice = new ElidingLabel(this);
    m_notice->setObjectName(QStringLiteral("LabAvis"));
    m_wsjtx = new QLabel(this);
    m_wsjtx->setObjectName(QStringLiteral("LabWsjtx"));
    m_radio = new QLabel(this);
    m_radio->setObjectName(QStringLiteral("LabTransceiver"));
    // WSJT-X's frequency and the radio's often read alike: a rule keeps them apart.
    m_divider = new QFrame(this);
    m_divider->setFrameShape(QFrame::VLine);
    m_divider->setFrameShadow(QFrame::Sunken);

    auto *row = new QHBoxLayout(this);
    row->setContentsMargins(10, 0, 10, 0); // in line with the panels above
    row->setSpacing(14);
    row->addWidget(m_notice, 1);
    row->addWidget(m_wsjtx);
    row->addWidget(m_divider);
    row->addWidget(m_radio);
    m_wsjtx->hide();
    m_radio->hide();
    m_divider->hide();
}

void StationLine::addNotice(const QString &text, bool problem, const QString &time)
{
    m_notice->setFullText(text);
    paintText(m_notice, problem);
    m_history.prepend(time.isEmpty() ? text : time + QStringLiteral("  ") + text);
    while (m_history.size() > kHistory)
        m_history.removeLast();
    m_notice->setToolTip(m_history.join(QLatin1Char('\n')));
}

QString StationLine::notice() const
{
    return m_notice->fullText();
}

void StationLine::setWsjtx(const QString &text, bool problem, const QString &detail)
{
    m_wsjtx->setText(text);
    m_wsjtx->setToolTip(detail);
    m_wsjtx->setVisible(!text.isEmpty());
    m_divider->setVisible(!text.isEmpty() && !m_radio->text().isEmpty());
    paintText(m_wsjtx, problem);
}

void StationLine::setRadio(const QString &text, bool problem)
{
    m_radio->setText(text);
    m_radio->setVisible(!text.isEmpty());
    m_divider->setVisible(!text.isEmpty() && !m_wsjtx->text().isEmpty());
    paintText(m_radio, problem);
}

} // namespace ondelog
