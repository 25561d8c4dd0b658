// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/labeleditor.h"

#include "text/text.h"
#include "ui/qtext.h"
#include "ui/uppercase.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QRadioButton>
#include <QStyle>
#include <QStyleOptionFrame>

#include <algorithm>

namespace ondelog {

namespace {

// Longest input of each box, the width of the label field it fills.
constexpr std::array<int, LabelEditor::kBoxCount + 1> kBoxWidths = {0, 15, 8,  5,  10, 5,
                                                                    8, 15, 15, 15, 15, 10};

// What each box's longest value is made of: its width in characters, the
// widest of the characters it may hold, and those it is sure to hold. A box is
// made as wide as that value in the font it shows it in. A call sign of fifteen
// characters has at least two strokes (prefix, call, suffix).
struct BoxValue
{
    const char *characters;
    const char *certain;
};
constexpr const char *kCallCharacters = "ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789";
constexpr BoxValue kCallValue = {kCallCharacters, "//"};
constexpr std::array<BoxValue, LabelEditor::kBoxCount + 1> kBoxValues = {{
    {"", ""},
    kCallValue,                                    // call sign
    {"0123456789/", ""},                           // date
    {"0123456789:", ""},                           // time
    {"0123456789.", ""},                           // frequency
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789", ""},  // mode
    {"0123456789+-DB", ""},                        // report
    kCallValue,                                    // from
    kCallValue,                                    // manager
    {"ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789 ", ""}, // routing
    kCallValue,                                    // the header's call sign
    {"0123456789", ""},                            // QSO number
}};

int boxWidth(const QLineEdit *edit, const BoxValue &value, int length)
{
    const QFontMetrics metrics = edit->fontMetrics();
    int widest = 0;
    for (const char *c = value.characters; *c; ++c)
        widest = std::max(widest, metrics.horizontalAdvance(QLatin1Char(*c)));
    const QString certain = QString::fromLatin1(value.certain);
    const int textWidth =
        widest * (length - int(certain.size())) + metrics.horizontalAdvance(certain);
    QStyleOptionFrame option;
    option.initFrom(edit);
    option.lineWidth = edit->style()->pixelMetric(QStyle::PM_DefaultFrameWidth, &option, edit);
    const QMargins text = edit->textMargins();
    const QMargins contents = edit->contentsMargins();
    // QLineEdit keeps two pixels clear on each side of its text, and one for
    // the cursor after it.
    const int inner =
        textWidth + 2 * 2 + 1 + text.left() + text.right() + contents.left() + contents.right();
    return edit->style()
        ->sizeFromContents(QStyle::CT_LineEdit, &option, QSize(inner, metrics.height()), edit)
        .width();
}

QLabel *cellHeading(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setAlignment(Qt::AlignCenter);
    QFont font = label->font();
    font.setBold(true);
    font.setPointSizeF(font.pointSizeF() * 0.9);
    label->setFont(font);
    return label;
}

} // namespace

LabelEditor::LabelEditor(QWidget *parent) : QFrame(parent)
{
    setObjectName(QStringLiteral("PictTag"));
    setFrameShape(QFrame::Box);
    setAutoFillBackground(true);
    QPalette background = palette();
    background.setColor(QPalette::Window, QColor(255, 255, 240));
    setPalette(background);
    auto *grid = new QGridLayout(this);
    grid->setContentsMargins(10, 8, 10, 8);
    grid->setHorizontalSpacing(3);
    grid->setVerticalSpacing(4);

    for (int i = 1; i <= kBoxCount; ++i) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(QStringLiteral("FLdText%1").arg(i));
        edit->setMaxLength(kBoxWidths[std::size_t(i)]);
        edit->setMinimumWidth(
            boxWidth(edit, kBoxValues[std::size_t(i)], kBoxWidths[std::size_t(i)]));
        makeUpperCase(edit);
        edit->installEventFilter(this);
        m_boxes[std::size_t(i)] = edit;
    }
    m_boxes[10]->setReadOnly(true);
    m_boxes[10]->setFocusPolicy(Qt::NoFocus);
    // The header's copy of the call sign: what the label will print.
    connect(m_boxes[1], &QLineEdit::textChanged, m_boxes[10], [this](const QString &text) {
        if (text.trimmed() != QLatin1String(kFreeLabelMark))
            m_boxes[10]->setText(text);
    });
    for (int i : {1, 2, 3, 4, kRstBox, kModeBox})
        m_boxes[std::size_t(i)]->setAlignment(Qt::AlignCenter);

    auto *header = new QHBoxLayout;
    header->addWidget(m_boxes[7], 2);
    header->addWidget(new QLabel(QStringLiteral(" Confirming QSO with "), this));
    header->addWidget(m_boxes[10], 2);
    grid->addLayout(header, 0, 0, 1, 6);

    auto *manager = new QHBoxLayout;
    manager->addStretch(1);
    manager->addWidget(new QLabel(QStringLiteral("Via QSL Manager"), this));
    manager->addWidget(m_boxes[8], 2);
    grid->addLayout(manager, 1, 0, 1, 6);

    const std::array<std::pair<const char *, int>, 6> cells = {{{"TO RADIO", 1},
                                                                {"DATE", 2},
                                                                {"UTC", 3},
                                                                {"Mhz / Band", 4},
                                                                {"RST", kRstBox},
                                                                {"MODE", kModeBox}}};
    for (int c = 0; c < 6; ++c) {
        grid->addWidget(cellHeading(QString::fromLatin1(cells[std::size_t(c)].first), this), 2, c);
        grid->addWidget(m_boxes[std::size_t(cells[std::size_t(c)].second)], 3, c);
    }
    // The call sign takes what room is left; the other values keep their size,
    // so that no box stands half empty.
    for (int box : {2, 3, 4, kRstBox, kModeBox})
        m_boxes[std::size_t(box)]->setMaximumWidth(m_boxes[std::size_t(box)]->minimumWidth());
    grid->setColumnStretch(0, 1);

    auto *routing = new QHBoxLayout;
    routing->addWidget(new QLabel(QStringLiteral("Pse / Tnx QSL "), this));
    m_direct = new QRadioButton(QStringLiteral("Direct"), this);
    m_direct->setObjectName(QStringLiteral("OptDirect"));
    m_bureau = new QRadioButton(QStringLiteral("Via bureau"), this);
    m_bureau->setObjectName(QStringLiteral("OptBureau"));
    m_via = new QRadioButton(QStringLiteral("Via"), this);
    m_via->setObjectName(QStringLiteral("OptVia"));
    auto *group = new QButtonGroup(this);
    for (QRadioButton *r : {m_direct, m_bureau, m_via}) {
        group->addButton(r);
        routing->addWidget(r);
    }
    m_bureau->setChecked(true);
    routing->addWidget(m_boxes[9], 2);
    grid->addLayout(routing, 4, 0, 1, 6);

    auto *number = new QHBoxLayout;
    number->addStretch(1);
    number->addWidget(new QLabel(QStringLiteral("QSO n°"), this));
    m_boxes[11]->setMaximumWidth(m_boxes[11]->minimumWidth());
    number->addWidget(m_boxes[11]);
    grid->addLayout(number, 5, 0, 1, 6);

    connect(m_bureau, &QRadioButton::clicked, this, [this] { emit routingChosen("BUREAU"); });
    connect(m_direct, &QRadioButton::clicked, this, [this] { emit routingChosen("DIRECT"); });
}

void LabelEditor::clear(int last)
{
    for (int i = 1; i <= last; ++i)
        m_boxes[std::size_t(i)]->clear();
}

void LabelEditor::showLabel(const LabelRecord &label)
{
    auto put = [this, &label](int box, LabelField f) {
        m_boxes[std::size_t(box)]->setText(toQString(label.field(f)));
    };
    put(1, LabelField::CallSign);
    put(2, LabelField::Date);
    put(3, LabelField::Time);
    put(4, LabelField::Frequency);
    put(kRstBox, LabelField::Rst);
    put(kModeBox, LabelField::Mode);
    put(7, LabelField::From);
    put(8, LabelField::Manager);
    put(10, LabelField::CallSign);
    put(11, LabelField::QsoNumber);
    const std::string routing = label.field(LabelField::Routing);
    if (routing == "BUREAU") {
        m_bureau->setChecked(true);
    } else if (routing == "DIRECT") {
        m_direct->setChecked(true);
    } else {
        m_via->setChecked(true);
        m_boxes[9]->setText(toQString(routing));
    }
}

void LabelEditor::showContact(const FieldTexts &texts, std::int32_t recordNo)
{
    auto put = [this, &texts](int box, Field f) {
        m_boxes[std::size_t(box)]->setText(toQString(texts[std::size_t(f)]));
    };
    put(1, Field::CSGN);
    put(2, Field::DQSO);
    put(3, Field::HDEB);
    put(4, Field::FREQ);
    put(kModeBox, Field::MODE);
    put(kRstBox, Field::SRST);
    m_boxes[8]->setText(toQString(texts[17])); // the QSL manager
    m_boxes[11]->setText(QString::number(recordNo));
    put(10, Field::CSGN);
}

void LabelEditor::setFrom(const std::string &callSign)
{
    m_boxes[7]->setText(toQString(callSign));
}

void LabelEditor::markFree()
{
    m_boxes[1]->setText(QString::fromLatin1(kFreeLabelMark));
}

QString LabelEditor::callSign() const
{
    return m_boxes[1]->text().trimmed();
}

void LabelEditor::focusCallSign()
{
    m_boxes[1]->setFocus(Qt::OtherFocusReason);
}

void LabelEditor::clearRouting()
{
    m_boxes[9]->clear();
}

LabelRecord LabelEditor::takeLabel()
{
    if (m_direct->isChecked())
        m_boxes[9]->setText(QStringLiteral("DIRECT"));
    else if (m_bureau->isChecked())
        m_boxes[9]->setText(QStringLiteral("BUREAU"));
    auto text = [this](int box) { return trim(toCp1252(m_boxes[std::size_t(box)]->text())); };
    LabelRecord r;
    r.setField(LabelField::CallSign, text(1));
    r.setField(LabelField::From, text(7));
    r.setField(LabelField::Manager, text(8));
    r.setField(LabelField::Routing, text(9));
    r.setField(LabelField::Date, text(2));
    r.setField(LabelField::Time, text(3));
    r.setField(LabelField::Frequency, text(4));
    r.setField(LabelField::Rst, text(kRstBox));
    r.setField(LabelField::Mode, text(kModeBox));
    r.setField(LabelField::QsoNumber, text(11));
    return r;
}

bool LabelEditor::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter) {
            emit entered();
            return true;
        }
    }
    return QFrame::eventFilter(watched, event);
}

} // namespace ondelog
