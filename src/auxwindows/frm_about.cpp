#include "auxwindows/frm_about.h"

#include "auxwindows/about_artwork.h"
#include "auxwindows/maker.h"
#include "auxwindows/sys_info.h"
#include "platform/message_box.h"
#include "platform/qt/window_frame.h"

#include <QLabel>
#include <QPainter>
#include <QPushButton>

namespace {

constexpr int clientWidth = 382;
constexpr int clientHeight = 237;

// The window's faces are Windows fonts. Where they are missing, a chancery italic (or at
// least a serif italic) stands in for the calligraphic one, and for Arial a sans of its
// widths and line height, or a condensed one, so that the description keeps to five lines.
void substituteAboutFonts() {
    static const bool done = [] {
        QFont::insertSubstitutions(QStringLiteral("Lucida Calligraphy"),
                                   {QStringLiteral("Z003"), QStringLiteral("URW Chancery L"),
                                    QStringLiteral("TeX Gyre Chorus"),
                                    QStringLiteral("DejaVu Serif")});
        QFont::insertSubstitutions(QStringLiteral("Arial"),
                                   {QStringLiteral("Liberation Sans"), QStringLiteral("Arimo"),
                                    QStringLiteral("DejaVu Sans Condensed"),
                                    QStringLiteral("DejaVu Sans")});
        return true;
    }();
    (void)done;
}

// Lucida Calligraphy is an italic face; asking for italic keeps its stand-ins slanted too.
QFont calligraphic(qreal points) {
    QFont font(QStringLiteral("Lucida Calligraphy"));
    font.setPointSizeF(points);
    font.setBold(true);
    font.setItalic(true);
    return font;
}

QLabel* label(QWidget* parent, const char* name, QRect geometry) {
    auto* l = new QLabel(parent);
    l->setObjectName(QLatin1String(name));
    l->setGeometry(geometry);
    l->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return l;
}

QWidget* line(QWidget* parent, const char* name, QPoint from, int toX, const QColor& colour) {
    auto* w = new QWidget(parent);
    w->setObjectName(QLatin1String(name));
    // Like a line drawn by the system, it stops one pixel short of its end point.
    w->setGeometry(from.x(), from.y(), toX - from.x(), 1);
    w->setAutoFillBackground(true);
    QPalette palette = w->palette();
    palette.setColor(QPalette::Window, colour);
    w->setPalette(palette);
    return w;
}

} // namespace

frmAbout::frmAbout(QWidget* owner, platform::ProgramVersion version)
    : QDialog(owner), version_(version), background_(about_artwork::background()) {
    substituteAboutFonts();
    setObjectName(QStringLiteral("frmAbout"));
    // A dialog of its owner: no minimise or maximise button, no taskbar entry, and the face
    // of the owner's controls.
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint);
    if (owner) {
        setFont(owner->font());
        // Qt centres it before the window manager has told the frame: centred again by the
        // frames once it has.
        new platform::FrameWatch(this, platform::FrameWatch::Calls::Once, [this, owner] {
            platform::centreFrameOn(this, platform::outerGeometry(owner).center());
        });
    }
    setWindowTitle(QStringLiteral(" About MyApp"));
    setFixedSize(clientWidth, clientHeight);

    Image1 = label(this, "Image1", {16, 24, 40, 34});
    Image1->setPixmap(QPixmap::fromImage(about_artwork::emblem()));

    lblTitle = label(this, "lblTitle", {70, 16, 259, 32});
    lblTitle->setFont(calligraphic(15.75));
    lblVersion = label(this, "lblVersion", {70, 48, 259, 23});
    lblVersion->setFont(calligraphic(12));

    lblDescription = label(this, "lblDescription", {72, 75, 299, 78});
    QFont arial(QStringLiteral("Arial"));
    arial.setPointSizeF(9.75);
    lblDescription->setFont(arial);
    lblDescription->setWordWrap(true);
    lblDescription->setText(QStringLiteral(
        "Select picture files (BMP, JPG or GIF) and write them into a single AVI video file.  "
        "This can then be used to import into a video authoring package for simple layout.  "
        "Use SIZEMATE program to prepare all picture files to the same size/colour format."));

    Line1 = line(this, "Line1", {6, 163}, 377, QColor(128, 128, 128));
    Line2 = line(this, "Line2", {7, 164}, 377, QColor(255, 255, 255));

    lblDisclaimer = label(this, "lblDisclaimer", {17, 175, 258, 55});

    cmdOK = new QPushButton(QStringLiteral("OK"), this);
    cmdOK->setObjectName(QStringLiteral("cmdOK"));
    cmdOK->setGeometry(283, 175, 84, 23);
    cmdOK->setDefault(true);
    cmdSysInfo = new QPushButton(QStringLiteral("&System Info..."), this);
    cmdSysInfo->setObjectName(QStringLiteral("cmdSysInfo"));
    cmdSysInfo->setGeometry(284, 205, 83, 23);

    connect(cmdOK, &QPushButton::clicked, this, &frmAbout::cmdOK_Click);
    connect(cmdSysInfo, &QPushButton::clicked, this, &frmAbout::cmdSysInfo_Click);
}

QString frmAbout::versionCaption(const platform::ProgramVersion& version) {
    return QStringLiteral("Version ") + platform::versionText(version);
}

void frmAbout::Form_Load() {
    // The file name, not the application title.
    setWindowTitle(QStringLiteral("About PICREEL.EXE"));
    lblVersion->setText(versionCaption(version_));
    lblTitle->setText(platform::applicationTitle());
    lblDisclaimer->setText(maker::copyrightLine() + QStringLiteral("\r\n") + maker::rightsLine() +
                           QStringLiteral("\r\n\r\n") + maker::webAddress());
}

void frmAbout::cmdOK_Click() {
    QDialog::done(QDialog::Accepted);
}

void frmAbout::cmdSysInfo_Click() {
    StartSysInfo();
}

void frmAbout::reject() {
    cmdOK_Click();
}

void frmAbout::paintEvent(QPaintEvent*) {
    // Drawn from the top-left corner; the window cuts off what lies outside it.
    QPainter p(this);
    p.drawImage(0, 0, background_);
}
