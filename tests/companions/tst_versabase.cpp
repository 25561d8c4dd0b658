// SPDX-License-Identifier: GPL-3.0-or-later
// Versabase's window: a log into its database, row for record; the refusals;
// and the programs of the suite starting one another.

#include "companions/versabasewindow.h"
#include "database/contactdatabase.h"
#include "database/conversioncommand.h"
#include "ui/companion.h"
#include "ui/helpers/uitest.h"
#include "ui/qtext.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <QTemporaryDir>
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

// Answers the coming file dialogs in turn with these paths (an empty one
// cancels); `asked` counts the dialogs that came.
void chooseFiles(QStringList paths, int *asked = nullptr)
{
    if (paths.isEmpty())
        return;
    whenModal([](QWidget *w) { return qobject_cast<QFileDialog *>(w) != nullptr; },
              [paths, asked](QWidget *w) {
                  if (asked)
                      ++*asked;
                  auto *dialog = static_cast<QFileDialog *>(w);
                  if (paths.first().isEmpty()) {
                      dialog->reject();
                  } else {
                      typeAndAccept(dialog, paths.first());
                  }
                  chooseFiles(paths.mid(1), asked);
              });
}

// Every row of FicheQSO, its sixteen values joined by '|', in the table's order.
QStringList rows(const QString &path)
{
    QStringList out;
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "rows");
        db.setDatabaseName(path);
        if (!db.open())
            return {QStringLiteral("not opened")};
        QSqlQuery q(QStringLiteral("SELECT * FROM FicheQSO ORDER BY rowid"), db);
        while (q.next()) {
            QStringList values;
            for (int k = 0; k < 16; ++k)
                values << q.value(k).toString();
            out << values.join(QLatin1Char('|'));
        }
    }
    QSqlDatabase::removeDatabase("rows");
    return out;
}

QString expectedRow(const QsoRecord &r)
{
    QStringList values;
    for (int k = 1; k <= 16; ++k)
        values << toQString(r.rawField(k));
    return values.join(QLatin1Char('|'));
}

void runSql(const QString &path, const QString &sql)
{
    {
        QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), "sql");
        db.setDatabaseName(path);
        if (db.open())
            QSqlQuery(sql, db);
    }
    QSqlDatabase::removeDatabase("sql");
}

void makeExecutable(const std::filesystem::path &path)
{
    writeBytes(path, "#!/bin/sh\n");
    std::filesystem::permissions(path, std::filesystem::perms::owner_all);
}

} // namespace

class VersabaseTest : public QObject
{
    Q_OBJECT

    std::unique_ptr<DataRoot> m_root;
    std::unique_ptr<VersabaseWindow> m_window;
    std::vector<QsoRecord> m_records;

    QString path(const std::string &name) const
    {
        return QString::fromStdString((m_root->programFolder() / name).string());
    }
    QPushButton *button(const QString &name) { return child<QPushButton>(m_window.get(), name); }
    QWidget *resultPanel() { return child<QWidget>(m_window.get(), QStringLiteral("PictTerminé")); }

    // Picks the log, then the database; the message box, if one comes, is read
    // into `message`. Returns once the window is done with both.
    void convert(const QString &log, const QString &database, QString *message = nullptr)
    {
        chooseFiles({log, database});
        answerNextMessageBox(nullptr, message);
        QTest::mouseClick(button(QStringLiteral("BtonOuvrirHam")), Qt::LeftButton);
        QTest::qWait(20); // lets an unexpected message box come and be read
    }

  private slots:
    void initTestCase() { initWindowTests(); }

    void init()
    {
        m_root = std::make_unique<DataRoot>();
        std::filesystem::create_directories(m_root->programFolder());
        // More than two of the groups the rows are written in.
        m_records.clear();
        for (int i = 1; i <= 69; ++i)
            m_records.push_back(testContact(i));
        // Accents, and every field filled to its last character.
        QsoRecord full;
        for (int k = 1; k <= 16; ++k)
            full.setField(k, std::string(fieldLayout(k).width, 'Z'));
        full.setField(Field::SQTH, "Saint-\xC9tienne");
        full.setField(Field::SNOM, "Fran\xE7ois");
        m_records.push_back(full);
        writeRecords(m_root->logPath("F6XYZ.Ham"), m_records);
        for (const char *name : {"F6XYZ.mdb", "f6xyz.mdb"})
            QCOMPARE(createContactDatabase(path(name)).outcome, CreationResult::Outcome::Created);
        m_window = std::make_unique<VersabaseWindow>(m_root->root());
        QVERIFY(showActive(m_window.get()));
    }

    void cleanup()
    {
        cancelModalWatches();
        setCompanionStarter({});
        m_window.reset();
        m_root.reset();
    }

    void programsThatOpenTheBase()
    {
        QTemporaryDir bin;
        auto install = [&](const char *program) {
            QFile file(QDir(bin.path()).filePath(QString::fromLatin1(program)));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.setPermissions(file.permissions() | QFileDevice::ExeOwner);
        };
        QCOMPARE(sqliteOpeners({bin.path()}),
                 QStringLiteral("C'est une base SQLite 3 : elle s'ouvre avec un logiciel SQLite, "
                                "par exemple DB Browser for SQLite (paquet sqlitebrowser)."));
        install("sqlite3");
        QCOMPARE(sqliteOpeners({bin.path()}),
                 QStringLiteral("C'est une base SQLite 3 : elle s'ouvre ici avec sqlite3 (en "
                                "ligne de commande)."));
        install("sqlitebrowser");
        install("sqlitestudio");
        QCOMPARE(sqliteOpeners({bin.path()}),
                 QStringLiteral("C'est une base SQLite 3 : elle s'ouvre ici avec DB Browser for "
                                "SQLite, SQLiteStudio ou sqlite3 (en ligne de commande)."));
    }

    void everyRecordBecomesOneRow()
    {
        QVERIFY(resultPanel()->isHidden());
        convert(path("F6XYZ.Ham"), path("F6XYZ.mdb"));

        QStringList expected;
        for (const QsoRecord &r : m_records)
            expected << expectedRow(r);
        QCOMPARE(rows(path("F6XYZ.mdb")), expected);
        // Trailing blanks kept, accents decoded.
        QVERIFY(rows(path("F6XYZ.mdb"))
                    .last()
                    .contains(
                        QStringLiteral("|Saint-Étienne            |ZZZZZZ|ZZZ|François       |")));
        QVERIFY(!resultPanel()->isHidden());
        QCOMPARE(child<QLabel>(m_window.get(), QStringLiteral("LabTerminé1"))->text(),
                 QStringLiteral("Le fichier F6XYZ.mdb est créé."));
        QCOMPARE(child<QLabel>(m_window.get(), QStringLiteral("LabTerminé2"))->text(),
                 QStringLiteral("Il se trouve dans %1").arg(path("F6XYZ.mdb")));
        // The file is SQLite: what opens it here is said, and Access nowhere.
        QCOMPARE(child<QLabel>(m_window.get(), QStringLiteral("LabOuvrirBase"))->text(),
                 sqliteOpeners());
        for (const QLabel *l : m_window->findChildren<QLabel *>())
            QVERIFY2(!l->text().contains(QLatin1String("Access")), qPrintable(l->text()));
        QVERIFY(!m_window->windowTitle().contains(QLatin1String("Access")));
        for (int k = 0; k < 16; ++k)
            QVERIFY(child<QLineEdit>(m_window.get(), QStringLiteral("txtFields%1").arg(k))
                        ->text()
                        .isEmpty());

        // The table is not emptied first: a second conversion adds the rows again.
        convert(path("F6XYZ.Ham"), path("F6XYZ.mdb"));
        QCOMPARE(rows(path("F6XYZ.mdb")), expected + expected);
        QVERIFY(rows(path("f6xyz.mdb")).isEmpty());
    }

    // "versabase --log --base" without its window: the same database, byte for byte.
    void theCommandWritesTheWindowsDatabase()
    {
        convert(path("F6XYZ.Ham"), path("F6XYZ.mdb"));
        const auto log = m_root->programFolder() / "F6XYZ.Ham";
        const auto other = m_root->root() / "autre";
        std::filesystem::create_directories(other);
        const auto base = other / "F6XYZ.mdb";

        CommandOutcome out = convertLogCommand(log, base, false);
        QCOMPARE(out.status, int(kExitOk));
        QCOMPARE(out.output, "70 contacts ajoutés à la table FicheQSO de " + base.string() +
                                 " (base créée).\n");
        QVERIFY(readBytes(base) == readBytes(path("F6XYZ.mdb").toStdString()));

        // Again: the rows go after those there, as in the window; --nouvelle starts afresh.
        QCOMPARE(convertLogCommand(log, base, false).status, int(kExitOk));
        QCOMPARE(rows(QString::fromStdString(base.string())).size(), 140);
        QCOMPARE(convertLogCommand(log, base, true).status, int(kExitOk));
        QCOMPARE(rows(QString::fromStdString(base.string())).size(), 70);

        // Refused: another name, or a file that is no contact database (left as it was).
        out = convertLogCommand(log, other / "f6xyz.mdb", false);
        QCOMPARE(out.status, int(kExitUsage));
        QVERIFY(!std::filesystem::exists(other / "f6xyz.mdb"));
        writeBytes(base, std::string(4096, 'x'));
        out = convertLogCommand(log, base, false);
        QCOMPARE(out.status, int(kExitFailed));
        QVERIFY(
            QString::fromStdString(out.error).contains(QStringLiteral("Rien n'a été converti")));
        QCOMPARE(readBytes(base), std::string(4096, 'x'));
        QCOMPARE(std::distance(std::filesystem::directory_iterator(other),
                               std::filesystem::directory_iterator()),
                 1);
    }

    void refusalsAndFailures_data()
    {
        QTest::addColumn<QString>("database");
        QTest::addColumn<QString>("setup"); // SQL run on F6XYZ.mdb first, or "junk"
        QTest::addColumn<QString>("message");
        QTest::newRow("other letter case")
            << "f6xyz.mdb"
            << ""
            << "La base doit porter le nom du log : F6XYZ.mdb (majuscules comprises).";
        QTest::newRow("not a database")
            << "F6XYZ.mdb"
            << "junk"
            << "Le fichier F6XYZ.mdb n'est pas une base créée par Fabribase (table FicheQSO) "
               "(26 : le fichier n'est pas une base de données). Rien n'a été converti.";
        QTest::newRow("no contact table")
            << "F6XYZ.mdb"
            << "DROP TABLE FicheQSO"
            << "Le fichier F6XYZ.mdb n'est pas une base créée par Fabribase (table FicheQSO). "
               "Rien n'a été converti.";
        QTest::newRow("a row refused half-way")
            << "F6XYZ.mdb"
            << "CREATE TRIGGER full BEFORE INSERT ON FicheQSO WHEN (SELECT count(*) FROM "
               "FicheQSO) >= 2 BEGIN SELECT RAISE(ABORT, 'plus de place'); END"
            << "L'écriture dans F6XYZ.mdb a échoué (19 : plus de place). Aucune fiche n'a été "
               "ajoutée.";
    }

    void refusalsAndFailures()
    {
        QFETCH(QString, database);
        QFETCH(QString, setup);
        QFETCH(QString, message);
        if (setup == QLatin1String("junk"))
            writeBytes(path("F6XYZ.mdb").toStdString(), std::string(4096, 'x'));
        else if (!setup.isEmpty())
            runSql(path("F6XYZ.mdb"), setup);
        const std::string before = readBytes(path("F6XYZ.mdb").toStdString());

        QString shown;
        convert(path("F6XYZ.Ham"), path(database.toStdString()), &shown);
        QCOMPARE(shown, message);
        QVERIFY(resultPanel()->isHidden());
        QCOMPARE(readBytes(path("F6XYZ.mdb").toStdString()), before);
        QVERIFY(rows(path("f6xyz.mdb")).isEmpty());
    }

    void logsWithoutContactsOrEnd()
    {
        // The end marker first: nothing to copy, and still the result.
        writeRecords(m_root->logPath("F6XYZ.Ham"), {});
        convert(path("F6XYZ.Ham"), path("F6XYZ.mdb"));
        QVERIFY(!resultPanel()->isHidden());
        QVERIFY(rows(path("F6XYZ.mdb")).isEmpty());

        // No end marker: the database is not even asked for.
        resultPanel()->hide();
        const QsoRecord alone = testContact(1);
        writeBytes(m_root->logPath("F6XYZ.Ham"),
                   std::string(alone.bytes().begin(), alone.bytes().end()));
        int asked = 0;
        chooseFiles({path("F6XYZ.Ham"), QString()}, &asked);
        QTest::mouseClick(button(QStringLiteral("BtonOuvrirHam")), Qt::LeftButton);
        QTest::qWait(50);
        QCOMPARE(asked, 1);
        QVERIFY(!m_window->isLogReady());
        QVERIFY(resultPanel()->isHidden());
    }

    void aMissingDatabaseIsNeverCreated()
    {
        // The dialog asks for an existing file, but the file may go meanwhile:
        // SQLite would then make an empty one, which is not the operator's base.
        const QString missing = path("F1ABC.mdb");
        const ConversionResult result =
            convertLog(m_root->logPath("F6XYZ.Ham"), std::int32_t(m_records.size()), missing);
        QCOMPARE(int(result.outcome), int(ConversionResult::Outcome::NotContactDatabase));
        QCOMPARE(result.error.number, 14);
        QVERIFY(!QFile::exists(missing));
    }

    void programsStartOneAnother()
    {
        QStringList started;
        setCompanionStarter([&started](const QString &program, const QStringList &arguments) {
            started << QFileInfo(program).fileName() + QLatin1Char(' ') +
                           arguments.join(QLatin1Char(' '));
            return true;
        });
        const QString root = QString::fromStdString(m_root->root().string());
        makeExecutable(m_root->programFolder() / "fabribase");
        makeExecutable(m_root->programFolder() / "versabase");

        QTest::mouseClick(button(QStringLiteral("BtonCréerDataBase")), Qt::LeftButton);
        QCOMPARE(started, QStringList{"fabribase --root " + root});

        // Ondelog's "Réaliser fichier.mdb", only with contacts in the log.
        FixedClock clock(makeDateTime(2024, 3, 14, 18, 42, 7));
        for (int contacts : {0, 2}) {
            started.clear();
            writeStation(*m_root, contacts);
            MainWindow main(m_root->root(), clock);
            QVERIFY(showActive(&main));
            QVERIFY(QTest::qWaitFor([&] { return main.startupState() == 0; }, 5000));
            child<QAction>(&main, QStringLiteral("MnuCreateMDB"))->trigger();
            QCOMPARE(started, contacts ? QStringList{"versabase --root " + root} : QStringList{});
        }

        // A program that is nowhere to be found is said so.
        std::filesystem::remove(m_root->programFolder() / "fabribase");
        QString shown;
        answerNextMessageBox(nullptr, &shown);
        QTest::mouseClick(button(QStringLiteral("BtonCréerDataBase")), Qt::LeftButton);
        QVERIFY(shown.startsWith(QStringLiteral("Le programme fabribase est introuvable")));
    }
};

QTEST_MAIN(VersabaseTest)
#include "tst_versabase.moc"
