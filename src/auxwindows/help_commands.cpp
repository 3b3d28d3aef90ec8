// The Help menu. None of these looks at the busy marker: they change nothing, so they work
// while a job runs.
#include "auxwindows/frm_about.h"
#include "auxwindows/maker.h"
#include "auxwindows/tips.h"
#include "mainwindow/my_main_form.h"
#include "platform/message_box.h"
#include "platform/url_execute.h"

void MyMainForm::TipsMenu_Click() {
    platform::MsgBox(TipsText(), platform::MsgButtons::OK, platform::MsgIcon::None,
                     QStringLiteral("Help - Tips"));
}

void MyMainForm::FernquillMenu_Click() {
    // Whether a browser opened is nobody's concern: without one, nothing happens.
    URLexecute::ShellExecute(maker::webAddress());
}

void MyMainForm::AboutMenu_Click() {
    frmAbout about(this);
    about.Form_Load();
    about.exec();
}
