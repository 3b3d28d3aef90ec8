#include "controls/file_list.h"
#include "controls/list_box.h"
#include "mainwindow/my_main_form.h"

#include <QLabel>
#include <QPushButton>

void MyMainForm::RefreshCommandStates() {
    const bool selected = BMPlist->ListIndex() != -1;
    for (QPushButton* b :
         {UpButton, DownButton, No_duplicates_button, Remove_button, MakeAVI_button})
        b->setEnabled(selected);
    // Make needs pictures, not a selection.
    MakeAVI_button->setEnabled(BMPlist->ListCount() != 0);
    const bool previewed = !CurrentPicturePath.isEmpty();
    Add_button->setEnabled(previewed);
    Insert_button->setEnabled(previewed);
    All_button->setEnabled(File1->ListCount() != 0);
}

void MyMainForm::setPlayable(const QString& aviPath) {
    PlayAVIbutton->setEnabled(!aviPath.isEmpty());
    PlayAVIbutton->setToolTip(aviPath.isEmpty() ? QStringLiteral("Play AVI file")
                                                : QStringLiteral("Play - ") + aviPath);
}

void MyMainForm::PlayReset() {
    setPlayable(QString());
    lblStatus->setText(QString());
}
