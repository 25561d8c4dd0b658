// A named pipe where the operator or the program expects a file: the label
// sheet's file at start-up, a merge source, an ADIF file to import. Each gives
// its French message at once and the window goes on; none is ever opened, so
// nothing waits for a program to write into the pipe.

#include "printing/labelsheet.h"
#include "tests/ui/helpers/uitest.h"

#include <QAction>
#include <QFileDialog>
#include <QPushButton>
#include <QtTest>

#include <sys/stat.h>

using namespace ondelog;
using namespace ondelog::test;

namespace {

const QString kNotAFile = QStringLiteral("Ce n'est pas un fichier");

void chooseFile(const std::filesystem::path &path)
{
    whenModal([](QWidget *w) { return qobject_cast<QFileDialog *>(w) != nullptr; },
              [path](QWidget *w) {
                  auto *dialog = static_cast<QFileDialog *>(w);
                  dialog->selectFile(QString::fromStdString(path.string()));
                  QMetaObject::invokeMethod(dialog, "accept");
              });
}

} // namespace

class NotAFileTest : public StationWindowTest
{
    Q_OBJECT

    std::filesystem::path pipe(const std::filesystem::path &path)
    {
        std::filesystem::create_directories(path.parent_path());
        if (::mkfifo(path.c_str(), 0644) != 0)
            qFatal("mkfifo %s", path.c_str());
        return path;
    }

  private slots:
    void initTestCase() { initWindowTests(); }
    void init() { m_root = std::make_unique<DataRoot>(); }
    void cleanup()
    {
        cancelModalWatches();
        m_window.reset();
    }

    void aLabelSheetThatIsAPipeIsNamedAtStartUp()
    {
        pipe(m_root->programFolder() / kLabelSheetFileName);
        QString text;
        bool answered = false;
        answerNextMessageBox(nullptr, &text, &answered);
        start(3);
        QTRY_VERIFY_WITH_TIMEOUT(answered, 5000);
        QVERIFY2(text.contains(kNotAFile), qPrintable(text));
        QCOMPARE(m_window->logFile().recordCount(), 3);
    }

    void aMergeSourceThatIsAPipeIsRefused()
    {
        start(3);
        const std::string before = logBytes();
        const auto source = pipe(m_root->root() / "AUTRE.Ham");
        get<QAction>(QStringLiteral("MnuJumeler"))->trigger();
        chooseFile(source);
        QString text;
        bool answered = false;
        answerNextMessageBox(nullptr, &text, &answered);
        QTest::mouseClick(button("BtPjumeler"), Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(answered, 5000);
        QVERIFY2(text.contains(kNotAFile), qPrintable(text));
        QCOMPARE(logBytes(), before);
    }

    void anAdifFileThatIsAPipeIsRefused()
    {
        start(3);
        const std::string before = logBytes();
        const auto adi = pipe(m_root->root() / "wsjt.adi");
        chooseFile(adi);
        QString text;
        bool answered = false;
        answerNextMessageBox(nullptr, &text, &answered);
        get<QAction>(QStringLiteral("MnuImportAdif"))->trigger();
        QTRY_VERIFY_WITH_TIMEOUT(answered, 5000);
        QVERIFY2(text.contains(kNotAFile), qPrintable(text));
        QCOMPARE(logBytes(), before);
    }
};

QTEST_MAIN(NotAFileTest)
#include "tst_notafile.moc"
