// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/application.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

#include <cstdio>
#include <utility>

namespace ondelog {

namespace {

// Words Qt's French translation leaves out: those its file dialog uses for the
// kind of an entry ("Folder" in the Type column).
class FrenchSupplement : public QTranslator
{
  public:
    using QTranslator::QTranslator;

    bool isEmpty() const override { return false; }

    QString translate(const char *context, const char *sourceText, const char *disambiguation,
                      int n) const override
    {
        Q_UNUSED(disambiguation);
        Q_UNUSED(n);
        if (qstrcmp(context, "QAbstractFileIconProvider") != 0)
            return {};
        static const std::pair<const char *, const char *> kWords[] = {
            {"Folder", "Dossier"},     {"Drive", "Lecteur"}, {"File", "Fichier"},
            {"Shortcut", "Raccourci"}, {"Alias", "Alias"},   {"Unknown", "Inconnu"},
        };
        for (const auto &[english, french] : kWords)
            if (qstrcmp(sourceText, english) == 0)
                return QString::fromUtf8(french);
        return {};
    }
};

} // namespace

std::optional<int> answerCommandLine(const ProgramDescription &program, int argc,
                                     const char *const *argv)
{
    const CommandLineVerdict verdict = checkCommandLine(program, argc, argv);
    std::fputs(verdict.output.c_str(), stdout);
    std::fputs(verdict.error.c_str(), stderr);
    if (verdict.run)
        return std::nullopt;
    return verdict.exitCode;
}

bool loadFrenchTranslation(QApplication &app)
{
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    auto *translator = new QTranslator(&app);
    if (!translator->load(QLocale(QLocale::French, QLocale::France), QStringLiteral("qtbase"),
                          QStringLiteral("_"), folder)) {
        delete translator;
        std::fprintf(stderr,
                     "Traduction française de Qt introuvable dans %s "
                     "(paquet qt6-translations-l10n) : les boîtes de dialogue "
                     "standard resteront en anglais.\n",
                     qPrintable(folder));
        return false;
    }
    QCoreApplication::installTranslator(translator);
    // Installed last, asked first; it answers only for the words it knows.
    QCoreApplication::installTranslator(new FrenchSupplement(&app));
    return true;
}

void setUpSuiteApplication(QApplication &app, const QString &title, const QString &iconName,
                           const QString &desktopId)
{
    QLocale::setDefault(QLocale(QLocale::French, QLocale::France));
    loadFrenchTranslation(app);
    QApplication::setApplicationName(title);
    QApplication::setApplicationDisplayName(title);
    QApplication::setApplicationVersion(QStringLiteral(ONDELOG_VERSION));
    QGuiApplication::setDesktopFileName(desktopId);
    const QIcon builtIn(QStringLiteral(":/icons/%1.svg").arg(iconName));
    QApplication::setWindowIcon(QIcon::fromTheme(iconName, builtIn));
}

} // namespace ondelog
