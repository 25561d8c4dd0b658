// SPDX-License-Identifier: GPL-3.0-or-later
// The commands without a window against the windows: on a 100,000-contact
// log, what a command writes is byte for byte what the menu item writes. Then
// the programs themselves, started with no display at all: they work, and
// they refuse politely while an Ondelog holds the folder.

#include "commands/logcommands.h"
#include "logbook/logfile.h"
#include "maintenance/autobackup.h"
#include "setup/config.h"
#include "ui/helpers/uitest.h"
#include "ui/instancelock.h"

#include <QAction>
#include <QFileDialog>
#include <QLockFile>
#include <QMessageBox>
#include <QProcess>
#include <QTest>

#include <regex>

using namespace ondelog;
using namespace ondelog::test;

namespace {

constexpr int kContacts = 100000;

QString qPath(const std::filesystem::path &path)
{
    return QString::fromStdString(path.string());
}

void chooseFile(const std::filesystem::path &path)
{
    whenModal([](QWidget *w) { return qobject_cast<QFileDialog *>(w) != nullptr; },
              [path](QWidget *w) {
                  auto *dialog = static_cast<QFileDialog *>(w);
                  dialog->selectFile(qPath(path));
                  QMetaObject::invokeMethod(dialog, "accept");
              });
}

/** The moment an ADIF export says it was made, so that a command can be given the same. */
std::string createdTimestamp(const std::string &adif)
{
    std::smatch found;
    if (std::regex_search(adif, found,
                          std::regex("CREATED_TIMESTAMP[:>0-9]*>?([0-9]{8} [0-9]{6})")))
        return found[1];
    return {};
}

struct Run
{
    int status = -1;
    QString out;
    QString err;
};

/** Runs a program of the build with no display of any kind. */
Run runProgram(const QString &program, const QStringList &arguments)
{
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char *name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
        env.remove(QString::fromLatin1(name));
    process.setProcessEnvironment(env);
    process.start(QStringLiteral(ONDELOG_BIN_DIR "/") + program, arguments);
    if (!process.waitForFinished(120000))
        return {};
    return {process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1,
            QString::fromUtf8(process.readAllStandardOutput()),
            QString::fromUtf8(process.readAllStandardError())};
}

} // namespace

class CommandsTest : public StationWindowTest
{
    Q_OBJECT

    std::unique_ptr<DataRoot> m_other;

    /** Triggers a menu item that asks for `file` and ends with a message; returns it. */
    QString trigger(const char *item, const std::filesystem::path &file)
    {
        chooseFile(file);
        QString text;
        bool answered = false;
        answerNextMessageBox(nullptr, &text, &answered);
        get<QAction>(QString::fromLatin1(item))->trigger();
        if (!QTest::qWaitFor([&] { return answered; }, 60000))
            qWarning("no message");
        return text;
    }

    CommandOutcome command(const DataRoot &root, const std::string &name,
                           std::vector<std::string> arguments, const std::string &timestamp = {})
    {
        const CommandContext context{root.programFolder(), epochSeconds(m_clock.now()), timestamp};
        return runLogCommand(name, arguments, context);
    }

    QStringList rootArgument(const DataRoot &root) const
    {
        return {QStringLiteral("--root"), qPath(root.root())};
    }

  private slots:
    void initTestCase() { initWindowTests(); }
    void init()
    {
        m_root = std::make_unique<DataRoot>();
        m_other = std::make_unique<DataRoot>();
    }
    void cleanup()
    {
        cancelModalWatches();
        m_window.reset();
    }

    void exportAndBackupWriteTheWindowsFiles()
    {
        start(kContacts);
        for (const std::string extension : {".adi", ".adx"}) {
            const auto window = m_root->root() / ("fenetre" + extension);
            QVERIFY(trigger("MnuExportAdif", window).startsWith(QStringLiteral("100000 contacts")));
            const std::string expected = readBytes(window);
            const auto mine = m_root->root() / ("commande" + extension);
            const CommandOutcome out =
                command(*m_root, "exporter", {mine.string()}, createdTimestamp(expected));
            QCOMPARE(out.status, int(kExitOk));
            QCOMPARE(out.output,
                     "100000 contacts exportés dans « " + mine.filename().string() + " ».\n");
            QVERIFY2(readBytes(mine) == expected, extension.c_str());
        }

        // "Liste › Sauvegarder" and the command, each into its own folder.
        const auto window = m_root->programFolder() / "RidEzav" / "F6XYZ.Ham";
        QVERIFY(trigger("MnuSauver", window).contains(QStringLiteral("100000 contacts")));
        const auto folder = m_root->root() / "cle";
        QCOMPARE(command(*m_root, "sauvegarder", {folder.string()}).status, int(kExitOk));
        QVERIFY(readBytes(folder / "F6XYZ.Ham") == readBytes(window));
    }

    void importGivesTheLogTheWindowGives()
    {
        // The same station twice: one imports through the window, one by command.
        writeStation(*m_other, kContacts);
        start(kContacts);
        const auto adi = m_root->root() / "wsjtx_log.adi";
        std::string text = "<EOH>\n";
        for (int i = 1; i <= 500; ++i)
            text += "<CALL:5>F" + std::to_string(10000 + i).substr(1) +
                    "<QSO_DATE:8>20240315<TIME_ON:4>12" + std::to_string(10 + i % 50) +
                    "<BAND:3>20m<MODE:3>FT8<EOR>\n";
        writeBytes(adi, text);

        const QString shown = trigger("MnuImportAdif", adi);
        QVERIFY2(shown.startsWith(QStringLiteral("500 contacts ajoutés au log.")), qPrintable(shown));
        const CommandOutcome out = command(*m_other, "importer", {adi.string()});
        QCOMPARE(out.status, int(kExitOk));
        QCOMPARE(QString::fromStdString(out.output), shown + QLatin1Char('\n'));
        QVERIFY(readBytes(m_other->logPath()) == readBytes(m_root->logPath()));
        QVERIFY(readBytes(m_root->logPath()).size() > std::size_t(kContacts + 1) * 165);
    }

    void checkFindsWhatTheWindowWarnsOf()
    {
        writeStation(*m_root, 3);
        std::string bytes = readBytes(m_root->logPath());
        bytes[165 + 20] = '\0';     // a NUL in contact 2
        bytes.resize(4 * 165 - 10); // the end marker cut short
        writeBytes(m_root->logPath(), bytes);

        const CommandOutcome out = command(*m_root, "verifier", {});
        QCOMPARE(out.status, int(kExitFailed));
        QString warned;
        bool answered = false;
        answerNextMessageBox(nullptr, &warned, &answered);
        m_window = std::make_unique<MainWindow>(m_root->root(), m_clock);
        showActive(m_window.get());
        QVERIFY(QTest::qWaitFor([&] { return answered; }, 10000));
        int lines = 0;
        for (const QString &line : QString::fromStdString(out.error).split(QLatin1Char('\n'))) {
            if (!line.startsWith(QStringLiteral("- ")))
                continue;
            ++lines;
            QVERIFY2(warned.contains(line), qPrintable(line));
        }
        QCOMPARE(lines, 3); // no end marker, a partial record, a control byte
        QVERIFY(readBytes(m_root->logPath()) == bytes);
    }

    void theProgramsWorkWithoutADisplayUnlessAWindowHoldsTheFolder()
    {
        writeStation(*m_root, kContacts);
        const std::string log = readBytes(m_root->logPath());
        const QStringList root = rootArgument(*m_root);
        const QString adi = qPath(m_root->root() / "log.adi");
        const QString base = qPath(m_root->programFolder() / "F6XYZ.mdb");
        const QString ham = qPath(m_root->logPath());
        const struct
        {
            const char *program;
            QStringList arguments;
            const char *says;
        } runs[] = {
            {"ondelog", root + QStringList{QStringLiteral("exporter"), adi},
             "100000 contacts exportés dans « log.adi »."},
            {"ondelog", root + QStringList{QStringLiteral("import"), adi}, "0 contact ajouté au log."},
            {"ondelog", root + QStringList{QStringLiteral("backup")},
             "Le log est sauvegardé dans "},
            {"ondelog", root + QStringList{QStringLiteral("verifier")},
             "est entier : 100000 contacts."},
            {"versabase",
             root + QStringList{QStringLiteral("--log"), ham, QStringLiteral("--base"), base},
             "100000 contacts ajoutés à la table FicheQSO"},
        };

        {
            // As the window's main() holds it.
            const ProgramFolderLock lock = lockProgramFolder(qPath(m_root->programFolder()));
            QVERIFY(lock.lock);
            for (const auto &run : runs) {
                const Run result = runProgram(QString::fromLatin1(run.program), run.arguments);
                QCOMPARE(result.status, int(kExitFolderBusy));
                QVERIFY2(
                    result.err.startsWith(QStringLiteral("Ondelog est déjà ouvert sur le dossier")),
                    qPrintable(result.err));
                QVERIFY(result.out.isEmpty());
            }
            QVERIFY(!std::filesystem::exists(m_root->root() / "log.adi"));
            QVERIFY(!std::filesystem::exists(m_root->programFolder() / "RidEzav"));
            QVERIFY(!std::filesystem::exists(m_root->programFolder() / "F6XYZ.mdb"));
        }

        for (const auto &run : runs) {
            const Run result = runProgram(QString::fromLatin1(run.program), run.arguments);
            QVERIFY2(result.status == kExitOk, qPrintable(run.arguments.join(' ') + result.err));
            QVERIFY2(result.out.contains(QString::fromUtf8(run.says)), qPrintable(result.out));
            QVERIFY(result.err.isEmpty());
        }
        QVERIFY(readBytes(m_root->logPath()) == log);
        QVERIFY(readBytes(m_root->programFolder() / "RidEzav" / "F6XYZ.Ham") == log);
    }
};

QTEST_MAIN(CommandsTest)
#include "tst_commands.moc"
