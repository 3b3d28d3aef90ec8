// The menu bar's commands. Most only forward to a button's handler, which does its own busy
// test; the three menu-open rules set their items from the window's state each time their
// menu opens, and nothing keeps the items up to date in between.
#include "controls/list_box.h"
#include "mainwindow/my_main_form.h"

#include <QAction>
#include <QPushButton>

void MyMainForm::FileMenu_Click() {
    SaveMenu->setEnabled(MakeAVI_button->isEnabled());
}

// Clear All needs a selected entry here, although the command itself (and its C key) clears
// a list with no selection too.
void MyMainForm::BitmapMenu_Click() {
    AddBMPmenu->setEnabled(Add_button->isEnabled());
    InsertMenu->setEnabled(Insert_button->isEnabled());
    AddAllMenu->setEnabled(All_button->isEnabled());
    RemoveMenu->setEnabled(Remove_button->isEnabled());
    NoDuplicatesMenu->setEnabled(No_duplicates_button->isEnabled());
    SHiftUpMenu->setEnabled(UpButton->isEnabled());
    ShiftDownMenu->setEnabled(DownButton->isEnabled());
    ClearALLmenu->setEnabled(BMPlist->ListIndex() != -1);
}

void MyMainForm::AVImenu_Click() {
    MakeAVImenu->setEnabled(MakeAVI_button->isEnabled());
    PlayAVImenu->setEnabled(PlayAVIbutton->isEnabled());
}

// Unlike the other forwarding commands, Save tests the busy marker itself.
void MyMainForm::SaveMenu_Click() {
    if (abortIfBusy())
        return;
    MakeAVI_button_Click();
}

void MyMainForm::DeskTopMenuItem_Click() {
    DesktopButton_Click();
}

void MyMainForm::AddBMPmenu_Click() {
    Add_button_Click();
}

void MyMainForm::InsertMenu_Click() {
    Insert_button_Click();
}

void MyMainForm::AddAllMenu_Click() {
    All_button_Click();
}

void MyMainForm::RemoveMenu_Click() {
    Remove_button_Click();
}

void MyMainForm::NoDuplicatesMenu_Click() {
    No_duplicates_button_Click();
}

void MyMainForm::SHiftUpMenu_Click() {
    UpButton_Click();
}

void MyMainForm::ShiftDownMenu_Click() {
    DownButton_Click();
}

void MyMainForm::MakeAVImenu_Click() {
    MakeAVI_button_Click();
}

void MyMainForm::PlayAVImenu_Click() {
    PlayAVIbutton_Click();
}
