// SPDX-License-Identifier: GPL-3.0-or-later
// Horalink: reads the time from a network time server (SNTP) and sets the
// computer's clock to GMT or to French legal time. The server is
// "--server HOST[:PORT]", else $HORALINK_SERVER, else pool.ntp.org.

#include "companions/timesetterwindow.h"
#include "timesetter/clocksetter.h"
#include "timesetter/clocktime.h"
#include "timesetter/timeserver.h"
#include "ui/application.h"

#include <QApplication>
#include <QMessageBox>
#include <QNetworkInformation>
#include <QNetworkInterface>

#include <cstdlib>
#include <vector>

namespace {

// Whether the computer is on a network: the system's own word when it has one,
// else any interface besides the loopback that is up with an address.
bool networkIsUp()
{
    if (QNetworkInformation::loadBackendByFeatures(QNetworkInformation::Feature::Reachability)) {
        switch (QNetworkInformation::instance()->reachability()) {
        case QNetworkInformation::Reachability::Online:
        case QNetworkInformation::Reachability::Site:
            return true;
        case QNetworkInformation::Reachability::Disconnected:
        case QNetworkInformation::Reachability::Local:
            return false;
        case QNetworkInformation::Reachability::Unknown:
            break;
        }
    }
    const auto interfaces = QNetworkInterface::allInterfaces();
    for (const QNetworkInterface &i : interfaces) {
        const auto flags = i.flags();
        if (flags.testFlag(QNetworkInterface::IsUp) &&
            flags.testFlag(QNetworkInterface::IsRunning) &&
            !flags.testFlag(QNetworkInterface::IsLoopBack) && !i.addressEntries().isEmpty())
            return true;
    }
    return false;
}

} // namespace

int main(int argc, char *argv[])
{
    std::vector<const char *> args(argv, argv + argc);
    const ondelog::ProgramDescription description{
        "horalink",
        "Horalink",
        "mise à l'heure de l'ordinateur par un serveur de temps (suite Ondelog)",
        ONDELOG_VERSION,
        {{"server", "NOM[:PORT]",
          "serveur de temps (sinon $HORALINK_SERVER, sinon pool.ntp.org:123)"}}};
    if (const std::optional<int> status =
            ondelog::answerCommandLine(description, argc, args.data()))
        return *status;

    QApplication app(argc, argv);
    ondelog::setUpSuiteApplication(app, QStringLiteral("Horalink"), QStringLiteral("horalink"),
                                   QStringLiteral("org.ondelog.Horalink"));

    const std::optional<std::string> option = ondelog::serverOption(argc, args.data());
    std::optional<std::string> environment;
    if (const char *value = std::getenv("HORALINK_SERVER"))
        environment = value;
    const std::optional<ondelog::TimeServer> server =
        ondelog::chooseTimeServer(option, environment);
    if (!server) {
        const QString given = QString::fromLocal8Bit(option ? *option : *environment);
        QMessageBox::critical(nullptr, QStringLiteral("Horalink"),
                              QStringLiteral("Serveur de temps incorrect : « %1 ».\n"
                                             "Forme attendue : NOM[:PORT], par exemple "
                                             "pool.ntp.org:123.")
                                  .arg(given));
        return 2;
    }

    const ondelog::SystemComputerClock clock;
    ondelog::SystemClockSetter setter;
    const ondelog::SystemZone zone;
    ondelog::TimeSetterWindow window(ondelog::TimeSetterParts{
        *server, clock, setter, zone, networkIsUp(), QApplication::applicationFilePath()});
    window.show();
    return app.exec();
}
