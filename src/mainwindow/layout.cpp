// The main window as the user first sees it: every control at its fixed pixel place.
#include "controls/dir_list.h"
#include "controls/drive_list.h"
#include "controls/file_list.h"
#include "controls/image_box.h"
#include "controls/list_box.h"
#include "mainwindow/artwork.h"
#include "mainwindow/my_main_form.h"

#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

using controls::ImageBox;

namespace {

template <typename W>
W* place(W* widget, const char* name, int left, int top, int width, int height,
         const QString& tooltip = {}) {
    widget->setObjectName(QLatin1String(name));
    widget->setGeometry(left, top, width, height);
    if (!tooltip.isEmpty())
        widget->setToolTip(tooltip);
    return widget;
}

QLabel* label(QWidget* parent, const char* name, int l, int t, int w, int h, const QString& text) {
    auto* lbl = place(new QLabel(text, parent), name, l, t, w, h);
    lbl->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return lbl;
}

QPushButton* button(QWidget* parent, const char* name, int l, int t, int w, int h,
                    const QString& caption, const QString& tooltip) {
    auto* b = place(new QPushButton(caption, parent), name, l, t, w, h, tooltip);
    b->setAutoDefault(false);
    return b;
}

QPushButton* arrowButton(QWidget* parent, const char* name, int l, int t, const QImage& arrow,
                         const QString& tooltip) {
    auto* b = button(parent, name, l, t, 18, 18, QString(), tooltip);
    b->setIcon(QIcon(QPixmap::fromImage(arrow)));
    b->setIconSize(arrow.size());
    b->setEnabled(false);
    return b;
}

QLineEdit* textBox(QWidget* parent, const char* name, int l, int t, int w, int h,
                   const QString& tooltip) {
    auto* box = place(new QLineEdit(QStringLiteral("1"), parent), name, l, t, w, h, tooltip);
    box->setMaxLength(6);
    box->setTextMargins(0, 0, 0, 0);
    return box;
}

// The filmstrip's captions sit on the film: no background, highlight-text colour.
QLabel* filmLabel(QWidget* parent, const char* name, int l, int t, const QString& text) {
    auto* lbl = label(parent, name, l, t, 113, 17, text);
    lbl->setAttribute(Qt::WA_TranslucentBackground);
    lbl->setAutoFillBackground(false);
    QPalette pal = lbl->palette();
    pal.setColor(QPalette::WindowText, pal.color(QPalette::HighlightedText));
    lbl->setPalette(pal);
    return lbl;
}

ImageBox* thumbnail(QWidget* parent, const char* name, int l, int t, int w, int h,
                    const QString& tooltip) {
    return place(new ImageBox(ImageBox::Fit::Stretch, ImageBox::Border::Flat, parent), name, l, t,
                 w, h, tooltip);
}

} // namespace

void MyMainForm::createControls() {
    QWidget* area = centralWidget();

    // Filmstrip backdrop first, so everything else of that column lies over it.
    FilmImage = place(new ImageBox(ImageBox::Fit::Natural, ImageBox::Border::None, area),
                      "FilmImage", 464, -10, 165, 420);
    FilmImage->setPicture(artwork::filmStrip());

    // Browser column.
    Label1 = label(area, "Label1", 16, 8, 121, 17, QStringLiteral("Select Source Folder"));
    Drive1 = place(new controls::DriveList(area), "Drive1", 8, 24, 129, 21,
                   QStringLiteral("Select Drive"));
    Dir1 = place(new controls::DirList(area), "Dir1", 8, 48, 129, 141,
                 QStringLiteral("Select Folder"));
    DesktopButton = button(area, "DesktopButton", 40, 192, 65, 17, QStringLiteral("Desktop"),
                           QStringLiteral("Select your Desktop"));
    File1 = place(new controls::FileList(area), "File1", 8, 211, 129, 188,
                  QStringLiteral("Select picture file for preview (BMP,JPG,GIF)"));
    File1->setPattern(QStringLiteral("*.bmp;*.jpg;*gif"));

    // Settings, preview and edit column.
    No_duplicates_button =
        button(area, "No_duplicates_button", 144, 24, 97, 25, QStringLiteral("No Duplicates"),
               QStringLiteral("Remove any duplicate pictures from list"));
    lblfps = label(area, "lblfps", 144, 56, 104, 13, QStringLiteral("Frames/sec (1 - 30)"));
    txtFPS = textBox(area, "txtFPS", 173, 72, 39, 19,
                     QStringLiteral("Enter number of frames/second for AVI file"));
    Duration_label =
        label(area, "Duration_label", 136, 96, 113, 17, QStringLiteral("Duration(sec)/picture"));
    Duration_label->setAlignment(Qt::AlignHCenter | Qt::AlignTop);
    duration_txtbox = textBox(area, "duration_txtbox", 173, 112, 41, 19,
                              QStringLiteral("Enter number of seconds per picture in AVI file"));
    Remove_button =
        button(area, "Remove_button", 144, 144, 97, 25, QStringLiteral("Remove Picture"),
               QStringLiteral("Remove picture from list into preview window"));
    Preview_filename_label =
        label(area, "Preview_filename_label", 144, 176, 105, 17, QStringLiteral("Filename"));
    imgPreview =
        place(new ImageBox(ImageBox::Fit::Stretch, ImageBox::Border::Sunken3D, area), "imgPreview",
              144, 192, 97, 73, QStringLiteral("Right-click for full size preview"));
    PreviewSize_label = label(area, "PreviewSize_label", 144, 266, 97, 17, QStringLiteral("Size"));
    Insert_button =
        button(area, "Insert_button", 144, 288, 97, 25, QStringLiteral("Insert Picture"),
               QStringLiteral("Insert preview picture into list at selection"));
    Add_button = button(area, "Add_button", 144, 320, 97, 25, QStringLiteral("Add Picture"),
                        QStringLiteral("Add preview picture to end of list"));
    All_button = button(area, "All_button", 144, 352, 97, 25, QStringLiteral("Add ALL"),
                        QStringLiteral("Add all pictures in current folder to list"));

    // List column.
    UpButton = arrowButton(area, "UpButton", 248, 7, artwork::upArrow(),
                           QStringLiteral("Shift selected UP"));
    bmplist_filename_label =
        label(area, "bmplist_filename_label", 280, 8, 177, 17, QStringLiteral("Filename"));
    BMPlist = place(new controls::ListBox(area), "BMPlist", 248, 24, 209, 290,
                    QStringLiteral("List of pictures for AVI file"));
    DownButton = arrowButton(area, "DownButton", 248, 313, artwork::downArrow(),
                             QStringLiteral("Shift Selected Down"));
    bmp_size_label = label(area, "bmp_size_label", 368, 312, 89, 17, QStringLiteral("Size"));
    bmp_size_label->setAlignment(Qt::AlignRight | Qt::AlignTop);
    MakeAVI_button = button(area, "MakeAVI_button", 280, 328, 97, 32, QString(),
                            QStringLiteral("Write all pictures in list to an AVI file"));
    setBusy(false); // the caption is the busy state, written in one place
    QFont makeFont(QStringLiteral("MS Sans Serif"));
    makeFont.setPointSizeF(9.75);
    makeFont.setWeight(QFont::Normal);
    MakeAVI_button->setFont(makeFont);
    PlayAVIbutton = button(area, "PlayAVIbutton", 384, 328, 57, 33, QStringLiteral("Play AVI"), {});
    setPlayable(QString());
    lblStatus = label(area, "lblStatus", 280, 368, 163, 21, QString());
    lblStatus->setToolTip(QStringLiteral("Status report for AVI file"));
    lblStatus->setFrameStyle(QFrame::Box | QFrame::Plain);
    lblStatus->setAlignment(Qt::AlignLeft | Qt::AlignVCenter);

    // Filmstrip column.
    Previous_image_label =
        filmLabel(area, "Previous_image_label", 512, 24, QStringLiteral("Previous Picture"));
    Previous_image = thumbnail(area, "Previous_image", 490, 40, 113, 81,
                               QStringLiteral("Click to go backwards"));
    Selected_image_label =
        filmLabel(area, "Selected_image_label", 511, 136, QStringLiteral("Selected Picture"));
    Selected_Image = thumbnail(area, "Selected_Image", 484, 152, 125, 91,
                               QStringLiteral("Selected picture in list"));
    Next_image_label =
        filmLabel(area, "Next_image_label", 517, 256, QStringLiteral("Next Picture"));
    Next_image =
        thumbnail(area, "Next_image", 490, 272, 113, 81, QStringLiteral("Click to go forwards"));

    // Not visible to the user.
    TempImage = place(new ImageBox(ImageBox::Fit::Natural, ImageBox::Border::None, area),
                      "TempImage", 64, 392, 17, 17);
    TempImage->setVisible(false);
    TempImage->setEnabled(false);
    Line1 = place(new QFrame(area), "Line1", 0, 0, 633, 1);
    Line1->setFrameStyle(QFrame::HLine | QFrame::Plain);
    Line1->setLineWidth(1);

    for (QLabel* lbl : area->findChildren<QLabel*>())
        lbl->setFocusPolicy(Qt::NoFocus);
    for (ImageBox* img : area->findChildren<ImageBox*>())
        img->setFocusPolicy(Qt::NoFocus);
    FilmImage->lower();

    // Like the classic lists, the browser starts in the process's current folder.
    const QString here = QDir::currentPath();
    Drive1->Refresh();
    Dir1->setPath(here);
    File1->setPath(here);
}

void MyMainForm::setTabOrderOfControls() {
    const QList<QWidget*> order = {
        Drive1,          Dir1,          DesktopButton, File1,      No_duplicates_button, txtFPS,
        duration_txtbox, Remove_button, Insert_button, Add_button, All_button,           BMPlist,
        MakeAVI_button,  PlayAVIbutton, UpButton,      DownButton};
    for (QWidget* w : order)
        w->setFocusPolicy(Qt::StrongFocus);
    for (qsizetype i = 0; i + 1 < order.size(); ++i)
        setTabOrder(order[i], order[i + 1]);
}
