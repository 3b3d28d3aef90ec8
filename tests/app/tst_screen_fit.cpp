#include "auxwindows/frm_about.h"
#include "browse/preview_form.h"
#include "form_driving.h"
#include "makeavi/compression_dialog.h"
#include "started_form.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QScreen>
#include <QStyle>

#include <cmath>

namespace {

// The texts of `window` that the control showing them cuts off.
QStringList clippedTexts(const QWidget& window) {
    QStringList clipped;
    for (const QLabel* l : window.findChildren<QLabel*>()) {
        if (!l->isVisible() || l->text().isEmpty() || l->textFormat() == Qt::RichText)
            continue;
        const QRect room = l->contentsRect();
        const int flags = int(l->alignment()) | (l->wordWrap() ? Qt::TextWordWrap : 0);
        const QRect needed = l->fontMetrics().boundingRect(room, flags, l->text());
        if (needed.width() > room.width() || needed.height() > room.height())
            clipped << l->objectName() + ": " + l->text();
    }
    for (const QAbstractButton* b : window.findChildren<QAbstractButton*>()) {
        if (!b->isVisible() || b->text().isEmpty())
            continue;
        // Beside the text: a check box's indicator, a push button's bevel and icon.
        const QStyle* style = b->style();
        const int beside = qobject_cast<const QCheckBox*>(b)
                               ? style->pixelMetric(QStyle::PM_IndicatorWidth) +
                                     style->pixelMetric(QStyle::PM_CheckBoxLabelSpacing)
                               : 6 + (b->icon().isNull() ? 0 : b->iconSize().width() + 4);
        const QString text = QString(b->text()).remove('&');
        if (b->fontMetrics().boundingRect(QRect(), 0, text).width() + beside > b->width())
            clipped << b->objectName() + ": " + b->text();
    }
    return clipped;
}

} // namespace

// Every window of the program within the screen's available area, frame included, with its
// texts whole: at the desktop's scale, on the small screens such scales come with.
class ScreenFitTest : public QObject {
    Q_OBJECT

private slots:
    void everyWindowFitsTheScreenWithItsTextsWhole() {
        StartedForm started;
        const QRect available = started.w().screen()->availableGeometry();
        frmAbout about(&started.w());
        about.Form_Load();
        // The widest list: every entry with a reason why it cannot take the picture.
        mAVIDecs::CompressionDialog compression({33, 31, 24, 3}, {}, &started.w());
        for (QWidget* window :
             std::initializer_list<QWidget*>{&started.w(), &about, &compression}) {
            window->show();
            QTRY_VERIFY(framed(*window));
            QTRY_VERIFY2(available.contains(outerGeometry(*window)),
                         qPrintable(window->objectName()));
            const QStringList clipped = clippedTexts(*window);
            QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join("; ")));
            if (window != &started.w())
                window->hide();
        }
    }

    // One picture pixel on one screen pixel, the outer size counted in those: h + 25 by w.
    void previewAtNaturalSizeOnTheScreensPixels() {
        StartedForm started;
        QImage picture(300, 215, QImage::Format_RGB32);
        picture.fill(Qt::blue);
        picture.setPixel(0, 0, qRgb(255, 0, 0));
        const QString path = started.path("p.bmp");
        QVERIFY(picture.save(path));
        started.w().ShowFullSizePreview(path);
        auto* preview = started.w().findChild<PreviewForm*>();
        QVERIFY(QTest::qWaitForWindowExposed(preview));
        QTRY_VERIFY(framed(*preview));

        const qreal ratio = preview->devicePixelRatioF();
        const auto outer = [&] { return QSizeF(outerGeometry(*preview).size()) * ratio; };
        // Qt tells the frame in the window's whole units, the scale's worth of screen pixels:
        // the outer size is right within one such unit.
        QTRY_COMPARE_LE(std::abs(outer().width() - 300), ratio);
        QTRY_COMPARE_LE(std::abs(outer().height() - 240), ratio);
        const QImage shown = preview->grab().toImage();
        QCOMPARE(shown.pixel(0, 0), qRgb(255, 0, 0));
        QCOMPARE(shown.pixel(1, 0), qRgb(0, 0, 255));
        QCOMPARE(shown.pixel(0, 1), qRgb(0, 0, 255));
    }
};

QTEST_MAIN(ScreenFitTest)
#include "tst_screen_fit.moc"
