// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/locatordialog.h"
#include "ui/qtext.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QLocale>
#include <QPushButton>
#include <QTest>

#include <memory>

using namespace ondelog;

namespace {

// The dialog shown and active, as an operator would meet it.
std::unique_ptr<LocatorDialog> openDialog(const std::string &locator = "JN18EU")
{
    auto dialog = std::make_unique<LocatorDialog>(locator);
    dialog->show();
    dialog->activateWindow();
    if (!QTest::qWaitForWindowActive(dialog.get()))
        return nullptr;
    return dialog;
}

QLineEdit *field(QWidget *dialog, const char *name)
{
    return dialog->findChild<QLineEdit *>(QString::fromLatin1(name));
}

QString text(QWidget *dialog, const char *name)
{
    QLineEdit *edit = field(dialog, name);
    return edit ? edit->text() : QStringLiteral("<missing %1>").arg(QLatin1String(name));
}

QString focusName()
{
    QWidget *focus = QApplication::focusWidget();
    return focus ? focus->objectName() : QString();
}

void click(QWidget *dialog, const char *name)
{
    QTest::mouseClick(field(dialog, name), Qt::LeftButton);
}

// The eight sexagesimal fields in one line: "48 51 15 N | 002 22 30 E".
QString sexagesimal(QWidget *dialog)
{
    return QStringLiteral("%1 %2 %3 %4 | %5 %6 %7 %8")
        .arg(text(dialog, "Fr1DegText1"), text(dialog, "Fr1MinText1"), text(dialog, "Fr1SecText1"),
             text(dialog, "Fr1LatSgnText"), text(dialog, "Fr1DegText2"),
             text(dialog, "Fr1MinText2"), text(dialog, "Fr1SecText2"),
             text(dialog, "Fr1LonSgnText"));
}

} // namespace

class TestLocatorDialog : public QObject
{
    Q_OBJECT

  private slots:
    void initTestCase()
    {
        // A comma locale: the fields must still show and read a point.
        QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    }

    void controlsCarryTheirNamesAndCaptions()
    {
        LocatorDialog dialog("JN18EU");
        QCOMPARE(dialog.objectName(), QStringLiteral("Dlg2"));
        auto *frame = dialog.findChild<QGroupBox *>(QStringLiteral("Fra1Locator"));
        QVERIFY(frame);
        QCOMPARE(frame->title(), QStringLiteral(" Entrer les Coordonnées ou le Locator "));
        for (const char *name : {"Fr1DegText1", "Fr1MinText1", "Fr1SecText1", "Fr1LatSgnText",
                                 "Fr1DegText2", "Fr1MinText2", "Fr1SecText2", "Fr1LonSgnText",
                                 "Fr1LatCent", "Fr1LonCent", "Fr1TextLocator"})
            QVERIFY2(field(&dialog, name), name);
        const std::pair<const char *, const char *> labels[] = {
            {"Fr1Lab01", " Saisie Sexagésimale"}, {"Fr1Lab02", "Conversion Centésimale"},
            {"Fr1Lab03", "  DEG    MIN    SEC"},  {"Fr1Lab02Latitude", " Latitude  "},
            {"Fr1Lab04", " Longitude "},          {"Fr1Lab12", "Locator"},
        };
        for (const auto &[name, caption] : labels) {
            auto *label = dialog.findChild<QLabel *>(QString::fromLatin1(name));
            QVERIFY2(label, name);
            QCOMPARE(label->text(), QString::fromUtf8(caption));
        }
        auto *close = dialog.findChild<QPushButton *>(QStringLiteral("Fr1CmdFermer"));
        QVERIFY(close);
        QCOMPARE(close->text(), QStringLiteral("Fermer"));
    }

    void opensOnTheDefaultLocator_data()
    {
        QTest::addColumn<QString>("given");
        QTest::addColumn<QString>("locator");
        QTest::addColumn<QString>("latitude");
        QTest::addColumn<QString>("longitude");
        QTest::addColumn<QString>("sexa");
        QTest::newRow("station") << "JN18EU"
                                 << "JN18EU"
                                 << "48.8542"
                                 << "-2.3750"
                                 << "48 51 15 N | 002 22 30 E";
        QTest::newRow("west") << "IO91WM"
                              << "IO91WM"
                              << "51.5208"
                              << "0.1250"
                              << "51 31 15 N | 000 07 30 O";
        QTest::newRow("none") << ""
                              << "JN18EU"
                              << "48.8542"
                              << "-2.3750"
                              << "48 51 15 N | 002 22 30 E";
        QTest::newRow("lower case") << "io91wm"
                                    << "JN18EU"
                                    << "48.8542"
                                    << "-2.3750"
                                    << "48 51 15 N | 002 22 30 E";
    }

    void opensOnTheDefaultLocator()
    {
        QFETCH(QString, given);
        QFETCH(QString, locator);
        auto dialog = openDialog(given.toStdString());
        QVERIFY(dialog);
        QCOMPARE(text(dialog.get(), "Fr1TextLocator"), locator);
        QTEST(text(dialog.get(), "Fr1LatCent"), "latitude");
        QTEST(text(dialog.get(), "Fr1LonCent"), "longitude");
        QTEST(sexagesimal(dialog.get()), "sexa");
        QCOMPARE(focusName(), QStringLiteral("Fr1CmdFermer"));
        QCOMPARE(QString::fromStdString(dialog->dialogLocator()), locator);
    }

    void sexagesimalEntryMovesFieldToFieldAndConverts()
    {
        auto dialog = openDialog();
        QVERIFY(dialog);
        QWidget *d = dialog.get();

        click(d, "Fr1DegText1");
        QTest::keyClick(field(d, "Fr1DegText1"), Qt::Key_A); // refused
        QTest::keyClicks(field(d, "Fr1DegText1"), QStringLiteral("45"));
        QCOMPARE(focusName(), QStringLiteral("Fr1MinText1"));
        QCOMPARE(text(d, "Fr1LatCent"), QStringLiteral("45.8542"));
        QTest::keyClicks(field(d, "Fr1MinText1"), QStringLiteral("06"));
        QCOMPARE(focusName(), QStringLiteral("Fr1SecText1"));
        QTest::keyClicks(field(d, "Fr1SecText1"), QStringLiteral("00"));
        QCOMPARE(focusName(), QStringLiteral("Fr1LatSgnText"));
        QTest::keyClick(field(d, "Fr1LatSgnText"), Qt::Key_S);
        QCOMPARE(focusName(), QStringLiteral("Fr1DegText2"));
        QCOMPARE(text(d, "Fr1LatCent"), QStringLiteral("-45.1000"));

        // Enter shows the field with its zeros and moves on.
        QTest::keyClicks(field(d, "Fr1DegText2"), QStringLiteral("2"));
        QTest::keyClick(field(d, "Fr1DegText2"), Qt::Key_Return);
        QVERIFY(dialog->isVisible());
        QCOMPARE(text(d, "Fr1DegText2"), QStringLiteral("002"));
        QCOMPARE(focusName(), QStringLiteral("Fr1MinText2"));
        QTest::keyClicks(field(d, "Fr1MinText2"), QStringLiteral("22"));
        QTest::keyClicks(field(d, "Fr1SecText2"), QStringLiteral("30"));
        QCOMPARE(focusName(), QStringLiteral("Fr1LonSgnText"));
        QTest::keyClick(field(d, "Fr1LonSgnText"), Qt::Key_W); // West is "O"
        QCOMPARE(text(d, "Fr1LonSgnText"), QStringLiteral("O"));
        QCOMPARE(focusName(), QStringLiteral("Fr1DegText1"));

        QCOMPARE(sexagesimal(d), QStringLiteral("45 06 00 S | 002 22 30 O"));
        QCOMPARE(text(d, "Fr1LonCent"), QStringLiteral("2.3750"));
        QCOMPARE(text(d, "Fr1TextLocator"), QStringLiteral("IE84TV"));

        QTest::mouseClick(dialog->findChild<QPushButton *>(QStringLiteral("Fr1CmdFermer")),
                          Qt::LeftButton);
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QCOMPARE(dialog->dialogLocator(), std::string("IE84TV"));
    }

    void valuesAtTheBoundResetTheField_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("zeros");
        QTest::newRow("latitude 95") << "Fr1DegText1"
                                     << "95"
                                     << "00";
        QTest::newRow("latitude 90") << "Fr1DegText1"
                                     << "90"
                                     << "00";
        QTest::newRow("longitude 180") << "Fr1DegText2"
                                       << "180"
                                       << "000";
        QTest::newRow("minutes 60") << "Fr1MinText1"
                                    << "60"
                                    << "00";
        QTest::newRow("seconds 75") << "Fr1SecText2"
                                    << "75"
                                    << "00";
    }

    void valuesAtTheBoundResetTheField()
    {
        QFETCH(QString, name);
        QFETCH(QString, typed);
        QFETCH(QString, zeros);
        auto dialog = openDialog();
        QVERIFY(dialog);
        const QByteArray fieldName = name.toLatin1();
        QLineEdit *edit = field(dialog.get(), fieldName.constData());

        QTest::mouseClick(edit, Qt::LeftButton);
        QTest::keyClicks(edit, typed);
        QCOMPARE(edit->text(), zeros);
        QCOMPARE(edit->selectedText(), zeros);
        QCOMPARE(focusName(), name);

        // The field takes a good value straight away, over the selected zeros.
        QTest::keyClicks(edit, QStringLiteral("12").rightJustified(zeros.size(), u'0'));
        QVERIFY(focusName() != name);
    }

    void locatorEntryFillsEveryField()
    {
        auto dialog = openDialog();
        QVERIFY(dialog);
        QWidget *d = dialog.get();

        click(d, "Fr1TextLocator");
        QTest::keyClicks(field(d, "Fr1TextLocator"), QStringLiteral("io91wm"));
        QCOMPARE(text(d, "Fr1TextLocator"), QStringLiteral("IO91WM"));
        QTest::keyClick(field(d, "Fr1TextLocator"), Qt::Key_Return);
        QVERIFY(dialog->isVisible());
        QCOMPARE(focusName(), QStringLiteral("Fr1CmdFermer"));
        QCOMPARE(text(d, "Fr1LatCent"), QStringLiteral("51.5208"));
        QCOMPARE(text(d, "Fr1LonCent"), QStringLiteral("0.1250"));
        QCOMPARE(sexagesimal(d), QStringLiteral("51 31 15 N | 000 07 30 O"));

        // Enter on the button, and only there, closes.
        QTest::keyClick(QApplication::focusWidget(), Qt::Key_Return);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->dialogLocator(), std::string("IO91WM"));
    }

    void anIncompleteLocatorGetsTheLastValidOneBack()
    {
        auto dialog = openDialog("IO91WM");
        QVERIFY(dialog);
        QWidget *d = dialog.get();

        click(d, "Fr1TextLocator");
        QTest::keyClicks(field(d, "Fr1TextLocator"), QStringLiteral("KP2"));
        QTest::keyClick(field(d, "Fr1TextLocator"), Qt::Key_Return); // not a locator yet
        QCOMPARE(focusName(), QStringLiteral("Fr1TextLocator"));
        click(d, "Fr1LatCent");
        QCOMPARE(text(d, "Fr1TextLocator"), QStringLiteral("IO91WM"));
        QCOMPARE(text(d, "Fr1LatCent"), QStringLiteral("51.5208"));

        // Escape straight from an incomplete field hands back a whole locator too.
        click(d, "Fr1TextLocator");
        QTest::keyClicks(field(d, "Fr1TextLocator"), QStringLiteral("JN"));
        QTest::keyClick(field(d, "Fr1TextLocator"), Qt::Key_Escape);
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->dialogLocator(), std::string("IO91WM"));
    }

    void centesimalEntryKeepsWhatIsTyped()
    {
        auto dialog = openDialog();
        QVERIFY(dialog);
        QWidget *d = dialog.get();

        click(d, "Fr1LonCent");
        QTest::keyClicks(field(d, "Fr1LonCent"), QStringLiteral("-2,375x"));
        QCOMPARE(text(d, "Fr1LonCent"), QStringLiteral("-2.375"));
        QCOMPARE(text(d, "Fr1LonSgnText"), QStringLiteral("E"));
        QCOMPARE(text(d, "Fr1TextLocator").left(1), QStringLiteral("J"));

        // A refused latitude empties the field, and the position stays where it was.
        const QString before = text(d, "Fr1TextLocator");
        const QString sexaBefore = sexagesimal(d);
        click(d, "Fr1LatCent");
        QTest::keyClicks(field(d, "Fr1LatCent"), QStringLiteral("95"));
        QCOMPARE(text(d, "Fr1LatCent"), QString());
        QCOMPARE(focusName(), QStringLiteral("Fr1LatCent"));
        QCOMPARE(text(d, "Fr1TextLocator"), before);
        QCOMPARE(sexagesimal(d), sexaBefore);
        QCOMPARE(dialog->dialogLocator(), toCp1252(before));
        QTest::keyClicks(field(d, "Fr1LatCent"), QStringLiteral("45.1"));
        QCOMPARE(text(d, "Fr1LatCent"), QStringLiteral("45.1"));
        QCOMPARE(text(d, "Fr1LonCent"), QStringLiteral("-2.375"));
        QCOMPARE(sexagesimal(d), QStringLiteral("45 06 00 N | 002 22 30 E"));
        QCOMPARE(text(d, "Fr1TextLocator"), QStringLiteral("JN15EC"));

        dialog->accept();
        QCOMPARE(dialog->dialogLocator(), std::string("JN15EC"));
    }

    void passingThroughTheLocatorKeepsTheTypedPosition()
    {
        // Clicking into the locator (to copy it, say) and out again must not
        // snap the position just typed to the centre of its square.
        auto dialog = openDialog();
        QVERIFY(dialog);
        QWidget *d = dialog.get();

        click(d, "Fr1LatCent");
        QTest::keyClicks(field(d, "Fr1LatCent"), QStringLiteral("45.1"));
        click(d, "Fr1TextLocator");
        click(d, "Fr1LonCent");
        QCOMPARE(text(d, "Fr1LatCent"), QStringLiteral("45.1"));
        QCOMPARE(sexagesimal(d), QStringLiteral("45 06 00 N | 002 22 30 E"));

        // A locator typed there and left without Enter still counts.
        click(d, "Fr1TextLocator");
        QTest::keyClicks(field(d, "Fr1TextLocator"), QStringLiteral("io91wm"));
        click(d, "Fr1LatCent");
        QCOMPARE(text(d, "Fr1LatCent"), QStringLiteral("51.5208"));
    }

    void typingWithoutAClickStillConverts()
    {
        // Reached with Tab rather than the mouse, a field must not silently
        // keep its old meaning while showing new figures.
        auto dialog = openDialog();
        QVERIFY(dialog);
        QWidget *d = dialog.get();
        field(d, "Fr1LonCent")->setFocus(Qt::TabFocusReason);
        QTest::keyClicks(field(d, "Fr1LonCent"), QStringLiteral("-25"));
        QCOMPARE(text(d, "Fr1TextLocator").left(1), QStringLiteral("K"));
        QCOMPARE(dialog->dialogLocator().substr(0, 1), std::string("K"));
    }
};

QTEST_MAIN(TestLocatorDialog)
#include "tst_locatordialog.moc"
