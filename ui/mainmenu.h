// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The main window's menu: its items, each named as the operator's commands are
// known (MnuCourantF, MnuClasser...), handed as typed actions to whoever
// carries them out.

class QAction;
class QMenuBar;

namespace ondelog {

struct MainMenu
{
    QAction *openOwn = nullptr;
    QAction *openOther = nullptr;
    QAction *merge = nullptr;
    QAction *exportAdif = nullptr;
    QAction *importAdif = nullptr;
    QAction *settings = nullptr;
    QAction *wsjtx = nullptr;
    QAction *transceiver = nullptr;
    QAction *quit = nullptr;
    QAction *createDatabase = nullptr;
    QAction *copyToDisk = nullptr;
    QAction *sort = nullptr;
    QAction *duplicates = nullptr;
    QAction *backup = nullptr;
    QAction *statistics = nullptr;
    QAction *configurePrinter = nullptr;
    QAction *printPage = nullptr;
    QAction *printBlankPage = nullptr;
    QAction *editLocator = nullptr;
    QAction *changeLocator = nullptr;
    QAction *blankLabels = nullptr;
    QAction *labelSheet = nullptr;
    QAction *about = nullptr;
};

/** Fills `bar` with the six menus and their items. */
MainMenu buildMainMenu(QMenuBar *bar);

} // namespace ondelog
