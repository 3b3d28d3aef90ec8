#include "controls/file_list.h"
#include "mainwindow/my_main_form.h"

#include <QPushButton>

void MyMainForm::File1_PathChange() {
    const int count = File1->ListCount();
    All_button->setText(count == 0 ? QStringLiteral("Add ALL")
                                   : QStringLiteral("Add ALL [%1]").arg(count));
}
