// SPDX-License-Identifier: GPL-3.0-or-later
// Fabribase's window: the database it creates, read back through SQLite's own
// schema, and what Cancel leaves.

#include "companions/fabribasewindow.h"
#include "ui/helpers/uitest.h"

#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTest>

using namespace ondelog;
using namespace ondelog::test;

namespace {

// Types `path` into the dialog's name box, as an operator would, and confirms.
// (selectFile() alone leaves the box as it is while the box has the focus.)
void typeAndAccept(QFileDialog *dialog, const QString &path)
{
    dialog->selectFile(path);
    if (auto *name = dialog->findChild<QLineEdit *>(QStringLiteral("fileNameEdit")))
        name->setText(path);
    QMetaObject::invokeMethod(dialog, "accept");
}

// Answers the file dialog with `name` (empty: Cancel), then says yes to the
// question about replacing a file, should it come.
void chooseDatabase(const QString &name)
{
    whenModal([](QWidget *w) { return qobject_cast<QFileDialog *>(w) != nullptr; },
              [name](QWidget *w) {
                  auto *dialog = static_cast<QFileDialog *>(w);
                  if (name.isEmpty()) {
                      dialog->reject();
                      return;
                  }
                  whenModal([](QWidget *m) { return qobject_cast<QMessageBox *>(m) != nullptr; },
                            [](QWidget *m) {
                                auto *box = static_cast<QMessageBox *>(m);
                                box->button(QMessageBox::Yes)->click();
                            });
                  typeAndAccept(dialog, name);
              });
}

// "name VARCHAR(n)" of every column of every table, table by table, as SQLite
// describes them; a query per call on a connection of its own.
QStringList schema(const QString &path)
{
    QStringList out;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "schema");
        db.setDatabaseName(path);
        if (!db.open())
            return {QStringLiteral("not opened")};
        QSqlQuery tables(QStringLiteral("SELECT name FROM sqlite_master ORDER BY name"), db);
        while (tables.next()) {
            const QString table = tables.value(0).toString();
            out << QStringLiteral("table %1").arg(table);
            QSqlQuery columns(db);
            columns.prepare(QStringLiteral(
                "SELECT name, type, \"notnull\", dflt_value, pk FROM pragma_table_info(?)"));
            columns.addBindValue(table);
            columns.exec();
            while (columns.next()) {
                out << QStringLiteral("%1 %2%3%4%5")
                           .arg(columns.value(0).toString(), columns.value(1).toString(),
                                columns.value(2).toInt() ? QStringLiteral(" NOT NULL") : QString(),
                                columns.value(3).isNull() ? QString() : QStringLiteral(" DEFAULT"),
                                columns.value(4).toInt() ? QStringLiteral(" KEY") : QString());
            }
            QSqlQuery count(QStringLiteral("SELECT count(*) FROM \"%1\"").arg(table), db);
            count.next();
            out << QStringLiteral("%1 rows").arg(count.value(0).toInt());
        }
    }
    QSqlDatabase::removeDatabase("schema");
    return out;
}

const QStringList kCreatedSchema = {"table FicheQSO",   "CSGN VARCHAR(15)", "DQSO VARCHAR(8)",
                                    "HDEB VARCHAR(5)",  "HFIN VARCHAR(5)",  "FREQ VARCHAR(10)",
                                    "MODE VARCHAR(5)",  "SRST VARCHAR(8)",  "MRST VARCHAR(8)",
                                    "SQTH VARCHAR(25)", "SLOC VARCHAR(6)",  "DEPT VARCHAR(3)",
                                    "SNOM VARCHAR(15)", "INFO VARCHAR(30)", "MQSL VARCHAR(8)",
                                    "SQSL VARCHAR(8)",  "MLOC VARCHAR(6)",  "0 rows"};

} // namespace

class FabribaseTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<DataRoot> m_root;
    std::unique_ptr<FabribaseWindow> m_window;

    QString dbPath(const QString &name) const
    {
        return QString::fromStdString((m_root->programFolder() / name.toStdString()).string());
    }
    QString label(const char *name) { return child<QLabel>(m_window.get(), name)->text(); }
    QPushButton *button(const char *name) { return child<QPushButton>(m_window.get(), name); }

  private slots:
    void initTestCase() { initWindowTests(); }

    void init()
    {
        m_root = std::make_unique<DataRoot>();
        m_window = std::make_unique<FabribaseWindow>(m_root->programFolder());
        QVERIFY(showActive(m_window.get()));
    }

    void cleanup()
    {
        cancelModalWatches();
        m_window.reset();
        m_root.reset();
    }

    void startsWithItsInvitation()
    {
        QCOMPARE(m_window->objectName(), QStringLiteral("frmCréateDataBase"));
        QCOMPARE(m_window->windowTitle(),
                 QStringLiteral("Création d'une base SQLite (fichier .mdb)"));
        QCOMPARE(label("PictBtonsLab01"), QStringLiteral("Lancer avec ' Créer Database '"));
        QCOMPARE(button("CmdBtonCreer")->text(), QStringLiteral("Créer DataBase"));
        QCOMPARE(button("CmdBtonQuitter")->text(), QStringLiteral("Annuler"));
        QCOMPARE(m_window->fileName(), QStringLiteral("Indicatif.MDB"));
    }

    void createsTheContactTable_data()
    {
        QTest::addColumn<QString>("typed");
        QTest::addColumn<QString>("existing"); // a database already under that name
        QTest::addColumn<QString>("file");
        QTest::newRow("new file, folder created") << "F6XYZ"
                                                  << ""
                                                  << "F6XYZ.mdb";
        QTest::newRow("existing database replaced") << "F6XYZ.mdb"
                                                    << "F6XYZ.mdb"
                                                    << "F6XYZ.mdb";
        QTest::newRow("any name") << "Été 2024.mdb"
                                  << ""
                                  << "Été 2024.mdb";
    }

    void createsTheContactTable()
    {
        QFETCH(QString, typed);
        QFETCH(QString, existing);
        QFETCH(QString, file);
        if (!existing.isEmpty()) {
            std::filesystem::create_directories(m_root->programFolder());
            {
                QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "old");
                db.setDatabaseName(dbPath(existing));
                QVERIFY(db.open());
                QSqlQuery(QStringLiteral("CREATE TABLE Ancienne (a)"), db);
                QSqlQuery(QStringLiteral("INSERT INTO Ancienne VALUES (1)"), db);
            }
            QSqlDatabase::removeDatabase("old");
        }

        chooseDatabase(typed);
        QTest::mouseClick(button("CmdBtonCreer"), Qt::LeftButton);

        QCOMPARE(label("PictBtonsLab01"), QStringLiteral("Le fichier %1 est créé").arg(file));
        QCOMPARE(label("PictBtonsLab02"), QString());
        QCOMPARE(button("CmdBtonQuitter")->text(), QStringLiteral("OK"));
        QVERIFY(button("CmdBtonQuitter")->isEnabled());
        QVERIFY(!button("CmdBtonCreer")->isEnabled());
        QCOMPARE(schema(dbPath(file)), kCreatedSchema);
        // Nothing of the building is left beside it.
        QCOMPARE(QDir(dbPath(QString())).entryList(QDir::Files | QDir::Hidden), QStringList{file});

        QTest::mouseClick(button("CmdBtonQuitter"), Qt::LeftButton);
        QVERIFY(!m_window->isVisible());
    }

    void cancelTouchesNothing()
    {
        std::filesystem::create_directories(m_root->programFolder());
        writeBytes(dbPath("F6XYZ.mdb").toStdString(), "not touched");
        chooseDatabase(QString());
        QTest::mouseClick(button("CmdBtonCreer"), Qt::LeftButton);

        QCOMPARE(label("PictBtonsLab01"), QStringLiteral("Lancer avec ' Créer Database '"));
        QVERIFY(button("CmdBtonCreer")->isEnabled());
        QCOMPARE(button("CmdBtonQuitter")->text(), QStringLiteral("Annuler"));
        QCOMPARE(readBytes(dbPath("F6XYZ.mdb").toStdString()), std::string("not touched"));
        QCOMPARE(QDir(dbPath(QString())).entryList(QDir::Files | QDir::Hidden),
                 QStringList{"F6XYZ.mdb"});
    }
};

QTEST_MAIN(FabribaseTest)
#include "tst_fabribase.moc"
