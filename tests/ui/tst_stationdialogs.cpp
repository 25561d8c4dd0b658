// SPDX-License-Identifier: GPL-3.0-or-later
// The "Transceiver" dialog and the WSJT-X settings, driven by their controls.

#include "radio/hamlibradio.h"
#include "ui/helpers/uitest.h"
#include "ui/transceiverdialog.h"
#include "ui/wsjtxdialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>
#include <QTest>

#include <fcntl.h>
#include <unistd.h>

using namespace ondelog;
using namespace ondelog::test;

namespace {

void retype(QLineEdit *edit, const QString &text)
{
    edit->selectAll();
    QTest::keyClick(edit, Qt::Key_Delete);
    QTest::keyClicks(edit, text);
}

struct TransceiverControls
{
    explicit TransceiverControls(QDialog &d)
        : search(child<QLineEdit>(&d, QStringLiteral("TxtChercherModele"))),
          model(child<QComboBox>(&d, QStringLiteral("CboModele"))),
          port(child<QComboBox>(&d, QStringLiteral("CboPort"))),
          speed(child<QComboBox>(&d, QStringLiteral("CboVitesse"))),
          address(child<QLineEdit>(&d, QStringLiteral("TxtRigctld"))),
          tryButton(child<QPushButton>(&d, QStringLiteral("BtEssayer"))),
          tried(child<QLabel>(&d, QStringLiteral("LabEssai"))),
          error(child<QLabel>(&d, QStringLiteral("LabErreur"))),
          ok(child<QPushButton>(&d, QStringLiteral("BtOK"))),
          cancel(child<QPushButton>(&d, QStringLiteral("BtAnnuler")))
    {
    }
    QLineEdit *search;
    QComboBox *model;
    QComboBox *port;
    QComboBox *speed;
    QLineEdit *address;
    QPushButton *tryButton;
    QLabel *tried;
    QLabel *error;
    QPushButton *ok;
    QPushButton *cancel;
};

} // namespace

class StationDialogsTest : public QObject
{
    Q_OBJECT

  private slots:
    void initTestCase() { initWindowTests(); }

    void noRadioIsTheDefaultAndOpensNothing()
    {
        TransceiverDialog dialog{TransceiverSettings{}};
        dialog.show();
        TransceiverControls c(dialog);
        QCOMPARE(c.model->currentText(), QStringLiteral("Aucun"));
        QVERIFY(c.model->count() > 100); // Hamlib's models
        QVERIFY(!c.port->isEnabled());
        QVERIFY(!c.speed->isEnabled());
        QVERIFY(!c.address->isEnabled());
        QVERIFY(!c.tryButton->isEnabled());
        QTest::mouseClick(c.ok, Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QVERIFY(dialog.settings().isNone());
    }

    void aSerialRadioIsFoundByNameAndNeedsItsPort()
    {
        TransceiverDialog dialog{TransceiverSettings{}};
        dialog.show();
        TransceiverControls c(dialog);
        QTest::keyClicks(c.search, QStringLiteral("ic-7300"));
        QVERIFY(c.model->currentText().endsWith(QStringLiteral("IC-7300")));
        QCOMPARE(c.model->count(), 2); // "Aucun" and the IC-7300
        QVERIFY(c.port->isEnabled() && c.speed->isEnabled() && !c.address->isEnabled());

        c.port->setCurrentText(QString());
        QTest::mouseClick(c.ok, Qt::LeftButton);
        QVERIFY(dialog.isVisible());
        QVERIFY(c.error->isVisible());
        QVERIFY(c.error->text().contains(QStringLiteral("port série")));

        c.port->setCurrentText(QStringLiteral("/dev/ttyUSB0"));
        c.speed->setCurrentIndex(c.speed->findData(19200));
        QTest::mouseClick(c.ok, Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        const TransceiverSettings s = dialog.settings();
        QCOMPARE(s.model, 3073);
        QCOMPARE(s.serialPort, std::string("/dev/ttyUSB0"));
        QCOMPARE(s.serialSpeed, 19200);

        // Opened again on what was kept.
        TransceiverDialog again{s};
        TransceiverControls a(again);
        QVERIFY(a.model->currentText().endsWith(QStringLiteral("IC-7300")));
        QCOMPARE(a.port->currentText(), QStringLiteral("/dev/ttyUSB0"));
        QCOMPARE(a.speed->currentData().toInt(), 19200);
    }

    void rigctldIsReachedAtHostAndPort()
    {
        TransceiverDialog dialog{TransceiverSettings{}};
        dialog.show();
        TransceiverControls c(dialog);
        QTest::keyClicks(c.search, QStringLiteral("NET rigctl"));
        QCOMPARE(c.model->currentData().toInt(), kRigctldRadioModel);
        QVERIFY(c.address->isEnabled() && !c.port->isEnabled());

        retype(c.address, QStringLiteral("shack"));
        QTest::mouseClick(c.ok, Qt::LeftButton);
        QVERIFY(dialog.isVisible());
        QCOMPARE(c.error->text(),
                 QStringLiteral("L'adresse s'écrit hôte:port, par exemple 127.0.0.1:4532."));
        retype(c.address, QStringLiteral("shack:4532"));
        QTest::mouseClick(c.ok, Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.settings().networkAddress, std::string("shack:4532"));
    }

    void tryingReadsTheRadioAsChosen()
    {
        TransceiverDialog dialog{TransceiverSettings{}};
        dialog.show();
        TransceiverControls c(dialog);
        QTest::keyClicks(c.search, QStringLiteral("Hamlib Dummy"));
        QCOMPARE(c.model->currentData().toInt(), 1);
        QTest::mouseClick(c.tryButton, Qt::LeftButton);
        QTRY_COMPARE(c.tried->text(), QStringLiteral("Transceiver : 145 FM"));
        // Another model forgets what the last one said.
        c.model->setCurrentIndex(0);
        QCOMPARE(c.tried->text(), QString());
    }

    void aDeadSerialPortNeverHoldsTheDialog()
    {
        const int master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (master < 0 || ::grantpt(master) != 0 || ::unlockpt(master) != 0)
            QSKIP("pas de pseudo-terminal ici");
        TransceiverDialog dialog{TransceiverSettings{3073, ::ptsname(master), 0, {}}};
        dialog.show();
        TransceiverControls c(dialog);
        QTest::mouseClick(c.tryButton, Qt::LeftButton);
        QCOMPARE(c.tried->text(), QStringLiteral("Transceiver : connexion…"));
        // Hamlib waits seconds on this port; the dialog closes at once all the same.
        QElapsedTimer clock;
        clock.start();
        QTest::mouseClick(c.cancel, Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Rejected));
        QVERIFY(clock.elapsed() < 1000);
        ::close(master);
    }

    void wsjtxSettings()
    {
        WsjtxDialog dialog{WsjtxSettings{}};
        dialog.show();
        auto *group = child<QGroupBox>(&dialog, QStringLiteral("FraWsjtx"));
        auto *address = child<QLineEdit>(&dialog, QStringLiteral("TxtWsjtxAdresse"));
        auto *port = child<QSpinBox>(&dialog, QStringLiteral("TxtWsjtxPort"));
        auto *loopback = child<QCheckBox>(&dialog, QStringLiteral("ChkBouclage"));
        auto *error = child<QLabel>(&dialog, QStringLiteral("LabErreur"));
        auto *ok = child<QPushButton>(&dialog, QStringLiteral("BtOK"));
        QVERIFY(group->isChecked());
        QCOMPARE(address->text(), QStringLiteral("127.0.0.1"));
        QCOMPARE(port->value(), 2237);
        QVERIFY(!loopback->isEnabled()); // for a group only

        retype(address, QStringLiteral("224.0.0.1"));
        QVERIFY(loopback->isEnabled() && loopback->isChecked());
        retype(address, QStringLiteral("wsjtx"));
        QTest::mouseClick(ok, Qt::LeftButton);
        QVERIFY(dialog.isVisible());
        QVERIFY(error->text().startsWith(QStringLiteral("L'adresse « wsjtx » n'est pas")));

        retype(address, QStringLiteral("224.0.0.1"));
        port->setValue(2238);
        QTest::mouseClick(loopback, Qt::LeftButton);
        QTest::mouseClick(ok, Qt::LeftButton);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        const WsjtxSettings s = dialog.settings();
        QVERIFY(s.enabled);
        QCOMPARE(s.address, std::string("224.0.0.1"));
        QCOMPARE(s.port, 2238);
        QVERIFY(!s.multicastOnLoopback);

        // Switched off, the address no longer matters.
        WsjtxDialog off{WsjtxSettings{false, "nowhere", 2237, true}};
        QTest::mouseClick(child<QPushButton>(&off, QStringLiteral("BtOK")), Qt::LeftButton);
        QCOMPARE(off.result(), int(QDialog::Accepted));
        QVERIFY(!off.settings().enabled);
    }
};

QTEST_MAIN(StationDialogsTest)
#include "tst_stationdialogs.moc"
