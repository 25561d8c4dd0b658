// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/recordpanel.h"

#include "logbook/entryfields.h"
#include "logbook/logfile.h"
#include "logbook/recordedit.h"
#include "text/text.h"
#include "ui/qtext.h"

#include <QFontMetrics>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include <algorithm>
#include <type_traits>

namespace ondelog {

namespace {

struct Caption
{
    int field;
    const char *text;
};

// The captions keep the underscores the operators know from the paper-like
// card; the labels may be cut by their cell, so the underscores read as a rule.
constexpr Caption kCaptions[] = {
    {1, "_ Indicatif_______________________"},
    {2, "_ Date _____"},
    {3, "_ Heures   Début /  Fin"},
    {5, "_ Fréquence________"},
    {6, "_ Mode______"},
    {7, "_ RST Donné    /    Reçu"},
    {9, "_ QTH ______________________________"},
    {10, "_ Son Locator _"},
    {11, "_ Département ____________"},
    {12, "_ Prénom  ___________________________"},
    {13, "_ Infos ____________"},
    {14, "_ Ma QSL ___"},
    {15, "_ Sa QSL __"},
    {16, " _Mon Locator__"},
    {17, "_ QSL Manager ______"},
};

int fieldWidth(int i)
{
    return static_cast<int>(entryFieldWidth(i));
}

QColor colourOf(FieldColour colour)
{
    switch (colour) {
    case FieldColour::Grey:
        return QColor(0xE0, 0xE0, 0xE0);
    case FieldColour::Yellow:
        return QColor(0xFF, 0xFF, 0xC0);
    case FieldColour::Red:
        return QColor(0xFF, 0xC0, 0xC0);
    case FieldColour::Green:
        return QColor(0xC0, 0xFF, 0xC0);
    case FieldColour::Window:
        break;
    }
    return {};
}

QLabel *captionLabel(int field, const char *text, QWidget *parent)
{
    auto *label = new QLabel(QString::fromUtf8(text), parent);
    label->setObjectName(QStringLiteral("FieldLab%1").arg(field));
    // Ignored width: the caption takes the width of its field, never the reverse;
    // but the words before the trailing underscores always show.
    label->setSizePolicy(QSizePolicy::Ignored, QSizePolicy::Preferred);
    QString words = label->text();
    while (words.endsWith(QLatin1Char('_')))
        words.chop(1);
    QFont font = label->font();
    font.setPointSizeF(font.pointSizeF() * 0.92);
    label->setFont(font);
    label->setMinimumWidth(QFontMetrics(font).horizontalAdvance(words));
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, QColor(0x55, 0x5b, 0x66));
    label->setPalette(palette);
    return label;
}

} // namespace

RecordPanel::RecordPanel(LogFile &log, QWidget *parent) : QFrame(parent), m_log(log)
{
    setObjectName(QStringLiteral("PictFiche"));
    setFrameShape(QFrame::StyledPanel);

    auto *outer = new QVBoxLayout(this);
    outer->setContentsMargins(14, 10, 14, 12);
    outer->setSpacing(8);

    m_recordNumber = new QLabel(this);
    m_recordNumber->setObjectName(QStringLiteral("NoFicheLab"));
    m_recordNumber->setProperty("heading", true);
    QFont headingFont = m_recordNumber->font();
    headingFont.setBold(true);
    headingFont.setPointSizeF(headingFont.pointSizeF() * 1.15);
    m_recordNumber->setFont(headingFont);
    // The contacts already made with the station shown are asked for from the
    // record itself, during entry as in the record view: the button sits by it.
    m_searchButton = new QPushButton(QStringLiteral("Voir contacts réalisés"), this);
    m_searchButton->setObjectName(QStringLiteral("BtActiveRech"));
    m_searchButton->setAutoDefault(false);
    m_searchButton->hide();
    auto *heading = new QHBoxLayout;
    heading->addWidget(m_recordNumber, 1);
    heading->addWidget(m_searchButton);
    outer->addLayout(heading);

    buildFields();
    buildEntryPanel();
    buildConfirmFrame();
    outer->addStretch(1);
}

void RecordPanel::buildFields()
{
    for (int i = 1; i <= kFieldCount; ++i) {
        auto *edit = new QLineEdit(this);
        edit->setObjectName(QStringLiteral("TxtField%1").arg(i));
        edit->setMaxLength(fieldWidth(i));
        QFont font = edit->font();
        font.setPointSizeF(font.pointSizeF() * 1.1);
        edit->setFont(font);
        edit->setMinimumHeight(QFontMetrics(font).height() + 12);
        // Wide enough for the whole value in the usual font, no wider than needed.
        const QFontMetrics metrics(edit->font());
        const int chars = std::min(fieldWidth(i), 26);
        edit->setMinimumWidth(metrics.horizontalAdvance(QLatin1Char('W')) * chars * 2 / 3 + 16);
        m_fields[static_cast<std::size_t>(i)] = edit;
    }

    auto *grid = new QGridLayout;
    grid->setHorizontalSpacing(14);
    grid->setVerticalSpacing(3);
    for (int column = 0; column < 4; ++column)
        grid->setColumnStretch(column, 1);

    auto caption = [this](int field) {
        for (const Caption &c : kCaptions)
            if (c.field == field)
                return captionLabel(field, c.text, this);
        return captionLabel(field, "", this);
    };
    auto pair = [this](int a, int b) {
        auto *box = new QHBoxLayout;
        box->setSpacing(6);
        box->addWidget(field(a));
        box->addWidget(field(b));
        return box;
    };
    // Each cell is its caption above its field(s); rows go two grid rows apiece.
    auto place = [grid](int row, int column, int span, QLabel *label, auto content) {
        grid->addWidget(label, row * 2, column, 1, span);
        using Content = decltype(content);
        if constexpr (std::is_same_v<Content, QHBoxLayout *>)
            grid->addLayout(content, row * 2 + 1, column, 1, span);
        else
            grid->addWidget(content, row * 2 + 1, column, 1, span);
        grid->setRowMinimumHeight(row * 2 + 1, 0);
    };

    place(0, 0, 2, caption(1), field(1));
    place(0, 2, 1, caption(2), field(2));
    place(0, 3, 1, caption(3), pair(3, 4));
    place(1, 0, 1, caption(5), field(5));
    place(1, 1, 1, caption(6), field(6));
    place(1, 2, 1, caption(7), pair(7, 8));
    place(1, 3, 1, caption(11), field(11));
    place(2, 0, 2, caption(9), field(9));
    place(2, 2, 1, caption(10), field(10));
    place(2, 3, 1, caption(16), field(16));
    place(3, 0, 2, caption(12), field(12));
    place(3, 2, 1, caption(14), field(14));
    place(3, 3, 1, caption(15), field(15));
    place(4, 0, 2, caption(13), field(13));
    place(4, 2, 2, caption(17), field(17));
    for (int row = 1; row < 5; ++row)
        grid->setRowMinimumHeight(row * 2, 26);
    static_cast<QVBoxLayout *>(layout())->addLayout(grid);

    // Distance, azimuth and département of the contact shown.
    auto *facts = new QFrame(this);
    facts->setObjectName(QStringLiteral("PictFicheInfos"));
    facts->setFrameShape(QFrame::StyledPanel);
    auto *factsLayout = new QHBoxLayout(facts);
    factsLayout->setContentsMargins(10, 6, 10, 6);
    factsLayout->setSpacing(8);
    auto fact = [facts, factsLayout](const char *name, const QString &title) {
        auto *titleLabel = new QLabel(title, facts);
        titleLabel->setObjectName(QString::fromLatin1(name) + QStringLiteral("Titre"));
        QPalette muted = titleLabel->palette();
        muted.setColor(QPalette::WindowText, QColor(0x55, 0x5b, 0x66));
        titleLabel->setPalette(muted);
        auto *value = new QLabel(facts);
        value->setObjectName(QString::fromLatin1(name));
        value->setTextInteractionFlags(Qt::TextSelectableByMouse);
        QFont bold = value->font();
        bold.setBold(true);
        value->setFont(bold);
        factsLayout->addWidget(titleLabel);
        factsLayout->addWidget(value);
        factsLayout->addSpacing(18);
        return value;
    };
    m_distance = fact("LabDist", QStringLiteral("Distance"));
    m_azimuth = fact("LabAzim", QStringLiteral("Azimut"));
    m_departement = fact("LabDept", QStringLiteral("Département"));
    factsLayout->addStretch(1);
    static_cast<QVBoxLayout *>(layout())->addWidget(facts);
}

void RecordPanel::buildEntryPanel()
{
    m_entryPanel = new QFrame(this);
    m_entryPanel->setObjectName(QStringLiteral("PictEnrs"));
    auto *row = new QHBoxLayout(m_entryPanel);
    row->setContentsMargins(0, 4, 0, 0);
    m_realTime = new QRadioButton(QStringLiteral(" Réel"), m_entryPanel);
    m_realTime->setObjectName(QStringLiteral("OptionEnr1"));
    m_realTime->setChecked(true);
    m_deferred = new QRadioButton(QStringLiteral("Différé"), m_entryPanel);
    m_deferred->setObjectName(QStringLiteral("OptionEnr2"));
    m_next = new QPushButton(QStringLiteral("&Suivant"), m_entryPanel);
    m_next->setObjectName(QStringLiteral("BtEnrSuivant"));
    m_cancel = new QPushButton(QStringLiteral("&Annuler"), m_entryPanel);
    m_cancel->setObjectName(QStringLiteral("BtEnrAnnuler"));
    m_finish = new QPushButton(QStringLiteral("&Terminer"), m_entryPanel);
    m_finish->setObjectName(QStringLiteral("BtEnrTerminer"));
    row->addWidget(m_realTime);
    row->addWidget(m_deferred);
    row->addStretch(1);
    row->addWidget(m_next);
    row->addWidget(m_cancel);
    row->addWidget(m_finish);
    m_entryPanel->hide();
    static_cast<QVBoxLayout *>(layout())->addWidget(m_entryPanel);
}

void RecordPanel::buildConfirmFrame()
{
    m_confirmFrame = new QGroupBox(this);
    m_confirmFrame->setObjectName(QStringLiteral("FraMsgFiche"));
    // A question waits for its answer: the frame must catch the eye, in the
    // light orange of a contact not yet stored.
    QFont titleFont = m_confirmFrame->font();
    titleFont.setBold(true);
    titleFont.setPointSizeF(titleFont.pointSizeF() * 1.1);
    m_confirmFrame->setFont(titleFont);
    m_confirmFrame->setAutoFillBackground(true);
    QPalette warm = m_confirmFrame->palette();
    warm.setColor(QPalette::Window, QColor(0xFF, 0xF1, 0xDE));
    m_confirmFrame->setPalette(warm);

    auto *row = new QHBoxLayout(m_confirmFrame);
    row->setContentsMargins(12, 6, 12, 8);
    QFont plain = font();
    plain.setBold(false); // explicitly: the frame's bold title must not reach its contents
    auto *recordCaption = new QLabel(QStringLiteral("Fiche N°"), m_confirmFrame);
    recordCaption->setObjectName(QStringLiteral("FraMsgFicheTexte"));
    recordCaption->setFont(plain);
    m_confirmRecord = new QLabel(m_confirmFrame);
    m_confirmRecord->setObjectName(QStringLiteral("FraLab01"));
    m_confirmCall = new QLabel(m_confirmFrame);
    m_confirmCall->setObjectName(QStringLiteral("FraLab02"));
    QFont bold = plain;
    bold.setBold(true);
    m_confirmRecord->setFont(bold);
    m_confirmCall->setFont(bold);
    m_yes = new QPushButton(QStringLiteral("&Oui"), m_confirmFrame);
    m_yes->setObjectName(QStringLiteral("FraCmdOui"));
    m_no = new QPushButton(QStringLiteral("&Non"), m_confirmFrame);
    m_no->setObjectName(QStringLiteral("FraCmdNon"));
    for (QPushButton *b : {m_yes, m_no}) {
        b->setFont(plain);
        b->setMinimumWidth(90);
    }
    row->addWidget(recordCaption);
    row->addWidget(m_confirmRecord);
    row->addSpacing(16);
    row->addWidget(m_confirmCall);
    row->addStretch(1);
    row->addWidget(m_yes);
    row->addWidget(m_no);
    m_confirmFrame->hide();
    static_cast<QVBoxLayout *>(layout())->addWidget(m_confirmFrame);
}

void RecordPanel::clearRecord()
{
    m_displayedRecord = 0;
    for (auto &text : m_fieldTexts)
        text.clear();
    for (int i = 1; i <= kFieldCount; ++i)
        field(i)->clear();
    m_recordNumber->clear();
    m_distance->clear();
    m_azimuth->clear();
    m_departement->clear();
}

void RecordPanel::displayRecord(std::int32_t n)
{
    if (!m_entryPanel->isHidden())
        return;
    clearRecord();
    const std::optional<QsoRecord> record = m_log.readRecord(n);
    if (!record)
        return;
    const RecordDisplay shown = ondelog::displayRecord(n, *record, m_distanceAzimuth);
    m_displayedRecord = n;
    m_fieldTexts = shown.texts;
    m_recordNumber->setText(toQString(shown.caption));
    for (int i = 1; i <= kFieldCount; ++i)
        field(i)->setText(toQString(m_fieldTexts[static_cast<std::size_t>(i)]));

    m_distance->setText(toQString(shown.labels.distance));
    m_azimuth->setText(toQString(shown.labels.azimuth));
    m_departement->setText(toQString(trim(shown.deptCaption)));

    emit recordDisplayed(n, toQString(m_fieldTexts[static_cast<std::size_t>(Field::CSGN)]));
}

void RecordPanel::setFieldColour(int i, FieldColour colour)
{
    QLineEdit *edit = field(i);
    const QColor background = colourOf(colour);
    if (!background.isValid()) {
        edit->setPalette(QPalette());
        return;
    }
    QPalette palette = edit->palette();
    palette.setColor(QPalette::Base, background);
    palette.setColor(QPalette::Text, Qt::black);
    edit->setPalette(palette);
}

void RecordPanel::resetFieldColours()
{
    for (int i = 1; i <= kFieldCount; ++i)
        setFieldColour(i, FieldColour::Window);
}

void RecordPanel::setFieldColour(int i, int state)
{
    if (state < 1 || state > 5)
        state = 1; // a black field would hide its text
    setFieldColour(i, static_cast<FieldColour>(state));
}

} // namespace ondelog
