#include "browse/preview_form.h"
#include "controls/image_box.h"
#include "mainwindow/my_main_form.h"
#include "picture/picture_conversion.h"
#include "platform/message_box.h"

void MyMainForm::ShowFullSizePreview(const QString& path) {
    if (path.isEmpty())
        return;
    QImage picture;
    if (!picture::IsLoadablePicture(path, picture)) {
        // The window keeps what it showed (or stays closed): a stale picture under a new
        // caption would be worse than none.
        platform::MsgBox(QStringLiteral("Unable to show \"%1\" at full size.\n\nThe file is "
                                        "missing, damaged or not a BMP, JPG or GIF picture.")
                             .arg(path),
                         platform::MsgButtons::OK, platform::MsgIcon::Exclamation,
                         QStringLiteral("Full Size Preview"));
        return;
    }
    TempImage->setPicture(picture);
    if (!previewForm_)
        previewForm_ = new PreviewForm(this);
    previewForm_->showPicture(QStringLiteral(" ") + path, TempImage->Picture());
}
