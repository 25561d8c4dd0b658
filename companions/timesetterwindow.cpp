// SPDX-License-Identifier: GPL-3.0-or-later
#include "companions/timesetterwindow.h"

#include "ui/controls.h"

#include <QButtonGroup>
#include <QFrame>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QVBoxLayout>

namespace ondelog {

namespace {

const QString kZeroTime = QStringLiteral("00:00:00");

QLabel *timeLabel(const QString &name, QWidget *parent)
{
    auto *label = new QLabel(kZeroTime, parent);
    label->setObjectName(name);
    QFont font(QStringLiteral("Courier New"), 20);
    font.setBold(true);
    label->setFont(font);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    label->setAlignment(Qt::AlignCenter);
    label->setMinimumWidth(QFontMetrics(font).horizontalAdvance(kZeroTime) + 24);
    return label;
}

QLabel *titleLabel(const QString &name, const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

QRadioButton *option(const QString &name, const QString &text, QWidget *parent)
{
    auto *b = new QRadioButton(text, parent);
    b->setObjectName(name);
    return b;
}

QString fromUtf8(const std::string &s)
{
    return QString::fromUtf8(s.data(), qsizetype(s.size()));
}

} // namespace

TimeSetterWindow::TimeSetterWindow(const TimeSetterParts &parts, QWidget *parent)
    : QWidget(parent), m_clock(parts.clock), m_setter(parts.setter), m_zone(parts.zone),
      m_programPath(parts.programPath), m_server(parts.server), m_client(parts.server, parts.clock)
{
    setObjectName(QStringLiteral("FormHeure"));
    setWindowTitle(QStringLiteral("Horalink"));

    m_connect = makeButton(QStringLiteral("Connecter"), QStringLiteral("BtonConnect"), this);
    m_disconnect = makeButton(QStringLiteral("Déconnecter"), QStringLiteral("BtonDeconnect"), this);
    m_setClock =
        makeButton(QStringLiteral("Mettre à l'heure"), QStringLiteral("BtonHeureSystem"), this);
    m_quit = makeButton(QStringLiteral("Quitter"), QStringLiteral("BtonQuitter"), this);
    m_state = titleLabel(QStringLiteral("LabEtat"), QString(), this);
    m_state->setAlignment(Qt::AlignCenter);
    m_state->setWordWrap(true);
    m_gmt = timeLabel(QStringLiteral("Lab_HeureGMT"), this);
    m_legal = timeLabel(QStringLiteral("Lab_HeureLégale"), this);
    m_computer = timeLabel(QStringLiteral("LabHeureOrdi"), this);
    m_serverLabel = titleLabel(QStringLiteral("Label5"), fromUtf8(m_server.text()), this);
    m_serverLabel->setTextInteractionFlags(Qt::TextSelectableByMouse);
    m_optGmt = option(QStringLiteral("OptGMT"), QStringLiteral("Heure GMT"), this);
    m_optLegal = option(QStringLiteral("OptLEG"), QStringLiteral("   Légale"), this);
    m_opt1h = option(QStringLiteral("Opt1H"), QStringLiteral("1Heure"), this);
    m_opt2h = option(QStringLiteral("Opt2H"), QStringLiteral("2Heures"), this);
    auto *choiceGroup = new QButtonGroup(this);
    choiceGroup->addButton(m_optGmt);
    choiceGroup->addButton(m_optLegal);
    auto *offsetGroup = new QButtonGroup(this);
    offsetGroup->addButton(m_opt1h);
    offsetGroup->addButton(m_opt2h);
    m_timer = new QTimer(this);
    m_timer->setObjectName(QStringLiteral("Timer1"));
    m_timer->setSingleShot(true);
    m_timer->setTimerType(Qt::PreciseTimer);
    m_timer->setInterval(1000);

    auto *offsetFrame = new QFrame(this);
    offsetFrame->setObjectName(QStringLiteral("FraDecalage"));
    offsetFrame->setFrameShape(QFrame::Box);
    auto *offsetLayout = new QVBoxLayout(offsetFrame);
    auto *decal = titleLabel(QStringLiteral("DecalLab"), QStringLiteral(" Décalage "), offsetFrame);
    QFont bold = decal->font();
    bold.setBold(true);
    decal->setFont(bold);
    offsetLayout->addWidget(decal);
    offsetLayout->addWidget(
        titleLabel(QStringLiteral("DecalLab2"), QStringLiteral("de l'heure"), offsetFrame));
    offsetLayout->addWidget(m_opt1h);
    offsetLayout->addWidget(m_opt2h);

    auto *choiceFrame = new QFrame(this);
    choiceFrame->setObjectName(QStringLiteral("FraChoix"));
    choiceFrame->setFrameShape(QFrame::Box);
    auto *choiceLayout = new QVBoxLayout(choiceFrame);
    choiceLayout->addWidget(titleLabel(QStringLiteral("LabChoix"),
                                       QStringLiteral("Heure donnée à l'ordinateur"), choiceFrame));
    choiceLayout->addWidget(m_optGmt);
    choiceLayout->addWidget(m_optLegal);
    choiceLayout->addStretch();

    auto *grid = new QGridLayout;
    grid->addWidget(
        titleLabel(QStringLiteral("LabTitreServeur"), QStringLiteral("Serveur de temps :"), this),
        0, 0);
    grid->addWidget(m_serverLabel, 0, 1);
    grid->addWidget(titleLabel(QStringLiteral("LabTitreGMT"), QStringLiteral("Réception"), this), 1,
                    0);
    grid->addWidget(titleLabel(QStringLiteral("LabTitreLegale"), QStringLiteral("Légale"), this), 1,
                    1);
    grid->addWidget(m_gmt, 2, 0);
    grid->addWidget(m_legal, 2, 1);
    grid->addWidget(offsetFrame, 3, 0);
    grid->addWidget(choiceFrame, 3, 1);
    grid->addWidget(titleLabel(QStringLiteral("LabTitreOrdi"),
                               QStringLiteral("Heure à l'horloge de l'ordinateur"), this),
                    4, 0, 1, 2);
    grid->addWidget(m_computer, 5, 0, 1, 2);

    auto *buttons = new QHBoxLayout;
    for (QPushButton *b : {m_connect, m_disconnect, m_setClock, m_quit})
        buttons->addWidget(b);

    auto *layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    layout->addWidget(m_state);

    connect(m_connect, &QPushButton::clicked, this, &TimeSetterWindow::connectClicked);
    connect(m_disconnect, &QPushButton::clicked, this, &TimeSetterWindow::disconnectClicked);
    connect(m_setClock, &QPushButton::clicked, this, &TimeSetterWindow::setClockClicked);
    connect(m_quit, &QPushButton::clicked, this, &QWidget::close);
    connect(m_timer, &QTimer::timeout, this, [this] {
        updateTimes();
        scheduleTick();
    });
    connect(&m_client, &SntpClient::answered, this, &TimeSetterWindow::answered);
    connect(&m_client, &SntpClient::refused, this, &TimeSetterWindow::refused);
    for (QRadioButton *b : {m_optGmt, m_optLegal, m_opt1h, m_opt2h})
        connect(b, &QRadioButton::toggled, this, [this](bool on) {
            if (on && m_connected && m_hasMeasure)
                showTimes();
        });

    // The offset in force in France today, and the time that matches the
    // computer's own zone, so that the first choice shifts nothing.
    const UtcTime now = m_clock.now();
    (franceOffsetHours(now) == 2 ? m_opt2h : m_opt1h)->setChecked(true);
    (m_zone.utcOffset(now) == std::chrono::seconds(0) ? m_optGmt : m_optLegal)->setChecked(true);

    m_setClock->setEnabled(false);
    m_state->setText(parts.networkUp ? QStringLiteral("Connecté") : QStringLiteral("Déconnecté"));
    m_connect->setEnabled(!parts.networkUp);
    m_disconnect->setEnabled(parts.networkUp);
    m_timer->start();
}

void TimeSetterWindow::updateTimes()
{
    if (m_connected && m_hasMeasure)
        showTimes();
    if (m_ready || m_connecting)
        askWhenAllowed();
}

void TimeSetterWindow::scheduleTick()
{
    using namespace std::chrono;
    milliseconds wait = 1s;
    if (m_connected && m_hasMeasure) {
        // The next tick comes just after the server's next second begins, so
        // that each second shows as it starts; a second that merely follows
        // the last tick would show up to a second late.
        const Nanoseconds since = serverNow().time_since_epoch() % 1s;
        const Nanoseconds intoSecond = since < Nanoseconds::zero() ? since + 1s : since;
        wait = ceil<milliseconds>(1s - intoSecond) + kTickAfterSecond;
    }
    m_timer->start(int(wait.count()));
}

void TimeSetterWindow::connectClicked()
{
    if (m_connecting || m_connected)
        return;
    m_connecting = true;
    askWhenAllowed();
}

void TimeSetterWindow::askWhenAllowed()
{
    if (m_client.isAsking())
        return;
    const auto steady = m_clock.steadyNow();
    if (!m_pacer.mayAsk(steady)) {
        if (m_connecting)
            m_state->setText(
                QStringLiteral("Connexion dans %1 s…").arg(m_pacer.secondsToWait(steady)));
        return;
    }
    m_pacer.asked(steady);
    if (m_connecting)
        m_state->setText(QStringLiteral("Connexion…"));
    m_client.ask();
}

void TimeSetterWindow::answered(const SntpMeasure &measure)
{
    m_offset = measure.offset;
    m_hasMeasure = true;
    if (m_connecting) {
        m_connecting = false;
        enterConnected();
    } else if (!m_connected) {
        return;
    }
    m_state->setText(QStringLiteral("Connecté"));
    showTimes();
    scheduleTick();
}

void TimeSetterWindow::refused(const SntpRefusal &refusal, bool final)
{
    if (!m_connecting && !m_ready)
        return;
    QString why = fromUtf8(refusalText(refusal));
    if (refusal.fault == SntpFault::UnknownServer)
        why += QStringLiteral(" : ") + fromUtf8(m_server.host);
    else if (refusal.fault == SntpFault::Refused)
        why += QStringLiteral(" (") + fromUtf8(m_server.text()) + QLatin1Char(')');
    m_state->setText(why);
    if (!final)
        return;
    // Nothing else changes: the labels run on from the last good answer.
    m_connecting = false;
    // A server that says it will not serve us is not asked again until the
    // operator connects anew.
    if (refusal.fault == SntpFault::KissOfDeath)
        m_ready = false;
}

void TimeSetterWindow::enterConnected()
{
    m_connected = true;
    m_ready = true;
    m_setClock->setEnabled(true);
    m_connect->setEnabled(false);
    m_quit->setEnabled(false);
    m_disconnect->setEnabled(true);
}

void TimeSetterWindow::disconnectClicked()
{
    m_ready = false;
    m_connecting = false;
    m_connected = false;
    m_hasMeasure = false;
    m_client.cancel();
    m_disconnect->setEnabled(false);
    m_setClock->setEnabled(false);
    m_connect->setEnabled(true);
    m_quit->setEnabled(true);
    m_legal->setText(kZeroTime);
    m_gmt->setText(kZeroTime);
    m_state->setText(QStringLiteral("Déconnecté"));
}

void TimeSetterWindow::showTimes()
{
    const UtcTime server = serverNow();
    const QString gmt = fromUtf8(timeOfDayText(server));
    const QString legal = fromUtf8(timeOfDayText(server + std::chrono::hours(offsetHours())));
    m_legal->setText(legal);
    m_gmt->setText(gmt);
    m_computer->setText(choice() == TimeChoice::Gmt ? gmt : legal);
}

bool TimeSetterWindow::confirmShift(const ClockSetting &setting, const QString &chosenText)
{
    const UtcTime zoneTime = setting.shown - setting.shift;
    QMessageBox box(QMessageBox::Question, QStringLiteral("Horalink"),
                    QStringLiteral("L'horloge de l'ordinateur suit le fuseau horaire %1, qui "
                                   "donne %2 pour l'heure du serveur.\n\n"
                                   "La régler sur %3 (%4) la décalerait de %5 par rapport à ce "
                                   "fuseau.\n\nRégler l'horloge quand même ?")
                        .arg(fromUtf8(m_zone.name()), fromUtf8(timeOfDayText(zoneTime)), chosenText,
                             choice() == TimeChoice::Gmt ? QStringLiteral("heure GMT")
                                                         : QStringLiteral("heure légale"),
                             fromUtf8(shiftText(setting.shift))),
                    QMessageBox::NoButton, this);
    box.setObjectName(QStringLiteral("ConfirmationDecalage"));
    QPushButton *yes = box.addButton(QStringLiteral("&Oui"), QMessageBox::YesRole);
    QPushButton *no = box.addButton(QStringLiteral("&Non"), QMessageBox::NoRole);
    box.setDefaultButton(no);
    box.setEscapeButton(no);
    box.exec();
    return box.clickedButton() == yes;
}

void TimeSetterWindow::setClockClicked()
{
    if (!m_connected || !m_hasMeasure)
        return;
    UtcTime server = serverNow();
    ClockSetting setting = planClockSetting(server, choice(), offsetHours(), m_zone);
    if (setting.shiftsTheZone()) {
        if (!confirmShift(setting, fromUtf8(timeOfDayText(setting.shown))))
            return;
        // The question took time: plan again from the time it is now.
        server = serverNow();
        setting = planClockSetting(server, choice(), offsetHours(), m_zone);
    }
    const ClockSetResult result = m_setter.set(setting.target);
    if (result.status != ClockSetStatus::Done) {
        QMessageBox box(QMessageBox::Warning, QStringLiteral("Horalink"),
                        fromUtf8(clockSetFailureText(result, m_programPath.toStdString())),
                        QMessageBox::Ok, this);
        box.setObjectName(QStringLiteral("MessageReglageRefuse"));
        box.exec();
        return;
    }
    // The computer's clock now reads `target` at the server's time `server`:
    // the labels run on from that new offset.
    m_offset = std::chrono::duration_cast<Nanoseconds>(server - setting.target);
    m_state->setText(
        QStringLiteral("Horloge réglée : %1 %2")
            .arg(fromUtf8(dateText(setting.shown)), fromUtf8(timeOfDayText(setting.shown))));
    showTimes();
    scheduleTick();
}

} // namespace ondelog
