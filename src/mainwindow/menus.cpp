// The menu bar. The keys shown at the right of the Picture and AVI items are part of the
// caption (the window's key handlers act on them); only the File and Help items carry real
// shortcuts.
#include "mainwindow/my_main_form.h"

#include <QMenuBar>

namespace {

QMenu* topMenu(QMenuBar* bar, const char* name, const QString& caption) {
    QMenu* menu = bar->addMenu(caption);
    menu->setObjectName(QLatin1String(name));
    menu->menuAction()->setObjectName(QLatin1String(name));
    return menu;
}

QAction* item(QMenu* menu, const char* name, const QString& caption,
              const QKeySequence& shortcut = {}) {
    QAction* action = menu->addAction(caption);
    action->setObjectName(QLatin1String(name));
    if (!shortcut.isEmpty()) {
        action->setShortcut(shortcut);
        action->setShortcutContext(Qt::WindowShortcut);
    }
    return action;
}

// A plain line; the name says which of the designed separators it is. A separator with a
// text would show that text in the menu.
QAction* separator(QMenu* menu, const char* name) {
    QAction* action = menu->addSeparator();
    action->setObjectName(QLatin1String(name));
    return action;
}

} // namespace

void MyMainForm::createMenus() {
    QMenuBar* bar = menuBar();

    FileMenu = topMenu(bar, "FileMenu", QStringLiteral("&File"));
    OpenMenu =
        item(FileMenu, "OpenMenu", QStringLiteral("&Open"), QKeySequence(Qt::CTRL | Qt::Key_O));
    SaveMenu =
        item(FileMenu, "SaveMenu", QStringLiteral("&Save"), QKeySequence(Qt::CTRL | Qt::Key_S));
    MenuLineBreak1 = separator(FileMenu, "MenuLineBreak1");
    DeskTopMenuItem = item(FileMenu, "DeskTopMenuItem", QStringLiteral("Desktop"),
                           QKeySequence(Qt::CTRL | Qt::Key_D));
    MenuLineBreak2 = separator(FileMenu, "MenuLineBreak2");
    ExitMenu =
        item(FileMenu, "ExitMenu", QStringLiteral("&Exit"), QKeySequence(Qt::CTRL | Qt::Key_X));

    BitmapMenu = topMenu(bar, "BitmapMenu", QStringLiteral("&Picture"));
    AddBMPmenu = item(BitmapMenu, "AddBMPmenu", QStringLiteral("A&dd                   Space"));
    InsertMenu = item(BitmapMenu, "InsertMenu", QStringLiteral("&Insert                   Ins"));
    AddAllMenu = item(BitmapMenu, "AddAllMenu", QStringLiteral("&Add All                  A"));
    LineBreak1Menu = separator(BitmapMenu, "LineBreak1Menu");
    RemoveMenu = item(BitmapMenu, "RemoveMenu", QStringLiteral("&Remove               Del"));
    NoDuplicatesMenu =
        item(BitmapMenu, "NoDuplicatesMenu", QStringLiteral("&No Duplicates        N"));
    ClearALLmenu = item(BitmapMenu, "ClearALLmenu", QStringLiteral("&Clear All                 C"));
    LineBreak2Menu = separator(BitmapMenu, "LineBreak2Menu");
    SHiftUpMenu = item(BitmapMenu, "SHiftUpMenu", QStringLiteral("Shift &Up                  U"));
    ShiftDownMenu = item(BitmapMenu, "ShiftDownMenu", QStringLiteral("SHift &Down             D"));
    LineBreak3Menu = separator(BitmapMenu, "LineBreak3Menu");
    PreviewMenu = item(BitmapMenu, "PreviewMenu", QStringLiteral("Pre&view          Right-Click"));

    AVImenu = topMenu(bar, "AVImenu", QStringLiteral("&AVI"));
    MakeAVImenu = item(AVImenu, "MakeAVImenu", QStringLiteral("&Make           M"));
    PlayAVImenu = item(AVImenu, "PlayAVImenu", QStringLiteral("&Play             P"));

    HelpMenu = topMenu(bar, "HelpMenu", QStringLiteral("&Help"));
    TipsMenu = item(HelpMenu, "TipsMenu", QStringLiteral("Tips"), QKeySequence(Qt::Key_F1));
    FernquillMenu = item(HelpMenu, "FernquillMenu", QStringLiteral("&Visit Fernquill"),
                         QKeySequence(Qt::CTRL | Qt::Key_F1));
    AboutMenu = item(HelpMenu, "AboutMenu", QStringLiteral("&About"));
}
