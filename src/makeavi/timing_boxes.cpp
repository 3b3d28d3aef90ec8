#include "job/timing_rules.h"
#include "mainwindow/my_main_form.h"

#include <QLineEdit>

namespace {

void setIfChanged(QLineEdit* box, const QString& text) {
    if (box->text() != text)
        box->setText(text);
}

} // namespace

void MyMainForm::txtFPS_LostFocus() {
    const job::TimingTexts texts =
        job::framesPerSecondLeft({txtFPS->text(), duration_txtbox->text()});
    setIfChanged(txtFPS, texts.framesPerSecond);
    setIfChanged(duration_txtbox, texts.duration);
}

void MyMainForm::duration_txtbox_LostFocus() {
    const job::TimingTexts texts = job::durationLeft({txtFPS->text(), duration_txtbox->text()});
    setIfChanged(duration_txtbox, texts.duration);
    setIfChanged(txtFPS, texts.framesPerSecond);
}
