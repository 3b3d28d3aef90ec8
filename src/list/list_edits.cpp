// The seven commands that change the picture list. Where an entry goes and which entry is
// selected afterwards are the list rules' answers; these handlers only apply them.
#include "controls/file_list.h"
#include "controls/list_box.h"
#include "listmodel/list_rules.h"
#include "mainwindow/my_main_form.h"
#include "paths/path_functions.h"
#include "platform/message_box.h"
#include "platform/platform.h"

#include <QLabel>

void MyMainForm::shiftSelectedTo(int to) {
    controls::ListBox* list = BMPlist;
    const int from = list->ListIndex();
    const QString moved = list->List(from);
    list->item(from)->setText(list->List(to));
    list->item(to)->setText(moved);
    list->setListIndex(to);
    RefreshCommandStates();
    RefreshFilmstrip();
    PlayReset();
}

void MyMainForm::File1_DblClick() {
    if (abortIfBusy())
        return;
    // A file that could not be previewed left the path empty and is never added.
    if (File1->ListIndex() == -1 || CurrentPicturePath.isEmpty())
        return;
    BMPlist->AddItem(CurrentPicturePath);
    BMPlist->setListIndex(BMPlist->ListCount() - 1);
    RefreshCommandStates();
    PlayReset();
}

// Moving on to the next file previews it, so that repeated Adds walk the folder one by one.
void MyMainForm::Add_button_Click() {
    if (abortIfBusy())
        return;
    if (File1->ListIndex() == -1 || CurrentPicturePath.isEmpty())
        return;
    File1_DblClick();
    File1->setListIndex(listmodel::fileRowAfterAdd(File1->ListIndex(), File1->ListCount()));
}

// Needs no file-list selection: a picture Remove has just put into the preview can go back
// elsewhere. The selection stays on the entry it was on.
void MyMainForm::Insert_button_Click() {
    if (abortIfBusy())
        return;
    if (CurrentPicturePath.isEmpty())
        return;
    BMPlist->AddItem(CurrentPicturePath, listmodel::insertPosition(BMPlist->ListIndex()));
    RefreshCommandStates();
    RefreshFilmstrip();
    PlayReset();
}

// The removed entry becomes the previewed picture, ready to be inserted elsewhere.
void MyMainForm::Remove_button_Click() {
    if (abortIfBusy())
        return;
    const int i = BMPlist->ListIndex();
    if (i == -1)
        return;
    const QString removed = BMPlist->List(i);
    BMPlist->RemoveItem(i);
    BMPlist->setListIndex(listmodel::selectionAfterRemove(i, BMPlist->ListCount()));
    if (BMPlist->ListIndex() == -1)
        RefreshFilmstrip();

    File1->setListIndex(-1);
    File1->Refresh();
    platform::current().doEvents();

    CurrentPicturePath = removed;
    Preview_filename_label->setText(paths::FileNamePart(CurrentPicturePath));
    RefreshCommandStates();
    RefreshPreview();
    PlayReset();
}

// Leaves the thumbnails and button states as they were until the next selection change;
// when the selected entry was a removed copy, nothing is selected afterwards.
void MyMainForm::No_duplicates_button_Click() {
    if (abortIfBusy())
        return;
    if (BMPlist->ListCount() < 2)
        return;
    QStringList entries;
    for (int i = 0; i < BMPlist->ListCount(); ++i)
        entries << BMPlist->List(i);
    for (int copy : listmodel::laterCopies(entries))
        BMPlist->RemoveItem(copy);
    PlayReset();
}

// Not busy-aware: the list may be cleared while a job runs. No play reset.
void MyMainForm::ClearALLmenu_Click() {
    if (platform::MsgBox(QStringLiteral("Are you Sure ?"), platform::MsgButtons::YesNo,
                         platform::MsgIcon::None, QStringLiteral("Clear All pictures from list")) !=
        platform::MsgAnswer::Yes)
        return;
    BMPlist->Clear();
    RefreshCommandStates();
    RefreshFilmstrip();
}

// Shift up and down are not busy-aware either.
void MyMainForm::UpButton_Click() {
    const int to = listmodel::shiftUpTarget(BMPlist->ListIndex());
    if (to != -1)
        shiftSelectedTo(to);
}

void MyMainForm::DownButton_Click() {
    const int to = listmodel::shiftDownTarget(BMPlist->ListIndex(), BMPlist->ListCount());
    if (to != -1)
        shiftSelectedTo(to);
}
