// SPDX-License-Identifier: GPL-3.0-or-later
// The pause, the file dialog and the one-Ondelog-per-folder lock.

#include "ui/helpers/uitest.h"

#include "ui/filedialog.h"
#include "ui/instancelock.h"
#include "ui/pause.h"

#include <QAbstractButton>
#include <QDateTime>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QFileDialog>
#include <QHeaderView>
#include <QLabel>
#include <QLockFile>
#include <QMessageBox>
#include <QTest>
#include <QTimer>
#include <QTreeView>

using namespace ondelog;
using namespace ondelog::test;

namespace {

bool isFileDialog(QWidget *w)
{
    return qobject_cast<QFileDialog *>(w) != nullptr;
}

// Types `name` into the dialog as an operator would choose it and confirms.
void chooseName(QWidget *w, const QString &name)
{
    auto *dialog = static_cast<QFileDialog *>(w);
    dialog->selectFile(name);
    QMetaObject::invokeMethod(dialog, "accept");
}

} // namespace

class WindowHelpersTest : public QObject
{
    Q_OBJECT

    QTemporaryDir m_dir;

    QString folder() const { return m_dir.path(); }
    QString file(const QString &name) const { return QDir(m_dir.path()).filePath(name); }

    FileDialogRequest request(FileDialogMode mode) const
    {
        FileDialogRequest r;
        r.mode = mode;
        r.initialFolder = folder();
        r.defaultSuffix = QStringLiteral("Ham");
        r.filter = QStringLiteral("Fichier (*.Ham)");
        return r;
    }

  private slots:
    void initTestCase()
    {
        initWindowTests();
        writeBytes(file(QStringLiteral("F6XYZ.Ham")).toStdString(), std::string(165, ' '));
    }
    void cleanup() { cancelModalWatches(); }

    void pauseLetsTheWindowsWork()
    {
        setPauseMilliseconds(40);
        bool ticked = false;
        QTimer::singleShot(5, [&] { ticked = true; });
        QElapsedTimer clock;
        clock.start();
        pauseSeconds(2);
        const qint64 elapsed = clock.elapsed();
        setPauseMilliseconds(5);
        QVERIFY(ticked);
        QVERIFY2(elapsed >= 75, qPrintable(QString::number(elapsed)));
    }

    void openReturnsAnExistingFile()
    {
        whenModal(isFileDialog, [](QWidget *w) {
            auto *dialog = static_cast<QFileDialog *>(w);
            QCOMPARE(dialog->objectName(), QStringLiteral("AskFileName"));
            QVERIFY(dialog->testOption(QFileDialog::DontUseNativeDialog));
            QCOMPARE(dialog->nameFilters(), QStringList{QStringLiteral("Fichier (*.Ham)")});
            chooseName(w, QStringLiteral("F6XYZ"));
        });
        QCOMPARE(askFileName(nullptr, request(FileDialogMode::Open)),
                 file(QStringLiteral("F6XYZ.Ham")));
    }

    void openRefusesAMissingFile()
    {
        bool warned = false;
        whenModal(isFileDialog, [&](QWidget *w) {
            // The dialog says the file is not there and stays open.
            whenModal([](QWidget *m) { return qobject_cast<QMessageBox *>(m) != nullptr; },
                      [&](QWidget *m) {
                          warned = true;
                          static_cast<QMessageBox *>(m)->buttons().first()->click();
                          QTimer::singleShot(0, w, [w] { static_cast<QDialog *>(w)->reject(); });
                      });
            chooseName(w, QStringLiteral("ABSENT.Ham"));
        });
        QCOMPARE(askFileName(nullptr, request(FileDialogMode::Open)), QString());
        QVERIFY(warned);
    }

    // Qt's own dialogs read in French, as in the programs.
    void standardDialogsSpeakFrench()
    {
        QMessageBox box(QMessageBox::Question, QStringLiteral("Ondelog"), QStringLiteral("?"),
                        QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel);
        QCOMPARE(box.button(QMessageBox::Cancel)->text().remove(QLatin1Char('&')),
                 QStringLiteral("Annuler"));
        QCOMPARE(box.button(QMessageBox::Yes)->text().remove(QLatin1Char('&')),
                 QStringLiteral("Oui"));
        QString lookIn;
        whenModal(isFileDialog, [&](QWidget *w) {
            if (auto *label = w->findChild<QLabel *>(QStringLiteral("lookInLabel")))
                lookIn = label->text();
            static_cast<QDialog *>(w)->reject();
        });
        askFileName(nullptr, request(FileDialogMode::Open));
        QCOMPARE(lookIn.remove(QLatin1Char('&')), QStringLiteral("Voir dans :"));
    }

    // The file list in French whatever the system's language (this test runs
    // under C.UTF-8 and fr_FR.UTF-8): sizes, dates, kinds and column titles,
    // none of the titles cut at the dialog's first size.
    void fileListSpeaksFrench()
    {
        QTemporaryDir dir;
        const QString log = QDir(dir.path()).filePath(QStringLiteral("F6XYZ.Ham"));
        writeBytes(log.toStdString(), std::string(660, ' '));
        QVERIFY(QDir(dir.path()).mkdir(QStringLiteral("RidEzav")));
        QFile file(log);
        QVERIFY(file.open(QIODevice::ReadWrite));
        QVERIFY(file.setFileTime(QDateTime(QDate(2026, 12, 8), QTime(11, 45, 18)),
                                 QFileDevice::FileModificationTime));
        file.close();

        QStringList titles, logRow, folderRow, cut;
        whenModal(isFileDialog, [&](QWidget *w) {
            auto *view = w->findChild<QTreeView *>(QStringLiteral("treeView"));
            QAbstractItemModel *model = view->model();
            const QModelIndex root = view->rootIndex();
            QTRY_COMPARE(model->rowCount(root), 2);
            QHeaderView *header = view->header();
            for (int c = 0; c < 4; ++c) {
                titles << model->headerData(c, Qt::Horizontal).toString();
                const int needed = header->fontMetrics().horizontalAdvance(titles.last());
                if (header->sectionSize(c) < needed + 8 ||
                    header->sectionViewportPosition(c) + header->sectionSize(c) >
                        view->viewport()->width())
                    cut << titles.last();
            }
            for (int r = 0; r < 2; ++r) {
                QStringList row;
                for (int c = 0; c < 4; ++c)
                    row << model->index(r, c, root).data().toString();
                (row[0] == QLatin1String("RidEzav") ? folderRow : logRow) = row;
            }
            static_cast<QDialog *>(w)->reject();
        });
        FileDialogRequest all = request(FileDialogMode::Open);
        all.initialFolder = dir.path();
        all.filter.clear();
        askFileName(nullptr, all);
        QCOMPARE(titles,
                 (QStringList{QStringLiteral("Nom"), QStringLiteral("Taille"),
                              QStringLiteral("Type"), QStringLiteral("Dernière modification")}));
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QLatin1String(", "))));
        QCOMPARE(logRow.value(1), QStringLiteral("660 octets"));
        QCOMPARE(logRow.value(3), QStringLiteral("08/12/2026 11:45"));
        QCOMPARE(folderRow.value(1), QString());
        QCOMPARE(folderRow.value(2), QStringLiteral("Dossier"));
    }

    void fileSizesInFrench()
    {
        const std::pair<qint64, const char *> cases[] = {
            {0, "0 octet"},      {1, "1 octet"},           {660, "660 octets"},
            {12345, "12,06 ko"}, {123456789, "117,74 Mo"}, {5000000000, "4,66 Go"},
        };
        for (const auto &[bytes, text] : cases)
            QCOMPARE(frenchFileSize(bytes), QString::fromUtf8(text));
    }

    void cancelGivesNothing()
    {
        whenModal(isFileDialog, [](QWidget *w) { static_cast<QDialog *>(w)->reject(); });
        QCOMPARE(askFileName(nullptr, request(FileDialogMode::Save)), QString());
    }

    void saveProposesANameAndAddsTheSuffix()
    {
        FileDialogRequest r = request(FileDialogMode::Save);
        r.proposedName = QStringLiteral("COPIE.Ham");
        QString proposed;
        whenModal(isFileDialog, [&](QWidget *w) {
            proposed = static_cast<QFileDialog *>(w)->selectedFiles().value(0);
            chooseName(w, QStringLiteral("NOUVEAU"));
        });
        QCOMPARE(askFileName(nullptr, r), file(QStringLiteral("NOUVEAU.Ham")));
        QCOMPARE(QFileInfo(proposed).fileName(), QStringLiteral("COPIE.Ham"));
    }

    void saveRefusesAMissingFolder()
    {
        bool warned = false;
        whenModal(isFileDialog, [&](QWidget *w) {
            whenModal([](QWidget *m) { return qobject_cast<QMessageBox *>(m) != nullptr; },
                      [&](QWidget *m) {
                          warned = true;
                          static_cast<QMessageBox *>(m)->buttons().first()->click();
                          QTimer::singleShot(0, w, [w] { static_cast<QDialog *>(w)->reject(); });
                      });
            chooseName(w, file(QStringLiteral("ABSENT/NOUVEAU.Ham")));
        });
        QCOMPARE(askFileName(nullptr, request(FileDialogMode::Save)), QString());
        QVERIFY(warned);
    }

    void saveAsksBeforeOverwriting_data()
    {
        QTest::addColumn<bool>("agree");
        QTest::newRow("overwrite") << true;
        QTest::newRow("keep") << false;
    }
    void saveAsksBeforeOverwriting()
    {
        QFETCH(bool, agree);
        bool asked = false;
        whenModal(isFileDialog, [&](QWidget *w) {
            whenModal([](QWidget *m) { return qobject_cast<QMessageBox *>(m) != nullptr; },
                      [&, w](QWidget *m) {
                          asked = true;
                          auto *box = static_cast<QMessageBox *>(m);
                          box->button(agree ? QMessageBox::Yes : QMessageBox::No)->click();
                          if (!agree) // back in the dialog, which is still open
                              QTimer::singleShot(0, w,
                                                 [w] { static_cast<QDialog *>(w)->reject(); });
                      });
            chooseName(w, QStringLiteral("F6XYZ.Ham"));
        });
        const QString chosen = askFileName(nullptr, request(FileDialogMode::Save));
        QVERIFY(asked);
        QCOMPARE(chosen, agree ? file(QStringLiteral("F6XYZ.Ham")) : QString());
    }

    void oneOndelogPerFolder()
    {
        const QString programFolder = file(QStringLiteral("Ondelog"));
        ProgramFolderLock first = lockProgramFolder(programFolder);
        QVERIFY(first.lock);
        const ProgramFolderLock second = lockProgramFolder(programFolder);
        QVERIFY(!second.lock);
        QCOMPARE(second.failure, LockFailure::HeldByOther);
        QVERIFY(lockProgramFolder(file(QStringLiteral("Autre"))).lock);
        first.lock.reset();
        QVERIFY(lockProgramFolder(programFolder).lock);
        QVERIFY(lockFailureMessage(programFolder, LockFailure::HeldByOther)
                    .contains(QStringLiteral("déjà ouvert")));
    }
};

QTEST_MAIN(WindowHelpersTest)
#include "tst_windowhelpers.moc"
