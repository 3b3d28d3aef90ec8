#pragma once

#include "platform/program_version.h"

#include <QDialog>

class QLabel;
class QPushButton;

// The About window: title, version, description and the maker's notice over the program's
// artwork, and a button that starts the System Information program. It changes nothing.
class frmAbout : public QDialog {
    Q_OBJECT

public:
    explicit frmAbout(QWidget* owner,
                      platform::ProgramVersion version = platform::programVersion());

    void Form_Load();
    void cmdOK_Click();
    void cmdSysInfo_Click();

    // "Version 1.04" for 1, 0, 4: no separator between minor and revision.
    static QString versionCaption(const platform::ProgramVersion& version);

    QLabel* Image1;
    QLabel* lblTitle;
    QLabel* lblVersion;
    QLabel* lblDescription;
    QWidget* Line1;
    QWidget* Line2;
    QLabel* lblDisclaimer;
    QPushButton* cmdOK;
    QPushButton* cmdSysInfo;

public slots:
    // Esc and the close button act as OK.
    void reject() override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    platform::ProgramVersion version_;
    QImage background_;
};
