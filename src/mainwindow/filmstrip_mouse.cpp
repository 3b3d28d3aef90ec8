// Presses on the picture list and the three thumbnails. Each reads the selection when the
// button goes down; a left press on a neighbour moves the selection, and the list's Click
// that this raises refreshes everything, so these handlers refresh nothing themselves.
#include "controls/list_box.h"
#include "controls/mouse_args.h"
#include "mainwindow/my_main_form.h"

bool MyMainForm::abortIfBusy() {
    if (!isBusy())
        return false;
    requestAbort();
    return true;
}

void MyMainForm::pressOnEntry(const controls::MouseArgs& args, int entry, bool leftSelects) {
    // Button is a mask: two buttons at once match neither case.
    if (args.Button == controls::LeftButton && leftSelects)
        BMPlist->setListIndex(entry);
    else if (args.Button == controls::RightButton)
        ShowFullSizePreview(BMPlist->List(entry));
}

void MyMainForm::Previous_image_MouseDown(const controls::MouseArgs& args) {
    if (abortIfBusy())
        return;
    const int i = BMPlist->ListIndex();
    if (i > 0)
        pressOnEntry(args, i - 1, true);
}

void MyMainForm::Next_image_MouseDown(const controls::MouseArgs& args) {
    if (abortIfBusy())
        return;
    const int i = BMPlist->ListIndex();
    if (i != -1 && i < BMPlist->ListCount() - 1)
        pressOnEntry(args, i + 1, true);
}

void MyMainForm::Selected_Image_MouseDown(const controls::MouseArgs& args) {
    if (abortIfBusy())
        return;
    const int i = BMPlist->ListIndex();
    if (i != -1)
        pressOnEntry(args, i, false);
}

// The list answers as the selected thumbnail does: a right press previews the entry already
// selected, not the one under the pointer, since the list moves its selection on a left
// press only.
void MyMainForm::BMPlist_MouseDown(const controls::MouseArgs& args) {
    Selected_Image_MouseDown(args);
}
