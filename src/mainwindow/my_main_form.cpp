#include "mainwindow/my_main_form.h"

#include "mainwindow/artwork.h"
#include "platform/platform.h"

#include <QApplication>
#include <QCloseEvent>
#include <QMenuBar>
#include <QPushButton>

namespace {

constexpr int clientWidth = 635;
constexpr int clientHeight = 403;

// The window's classic face is MS Sans Serif; on Linux a narrow sans takes its place.
void substituteClassicFonts() {
    static const bool done = [] {
        QFont::insertSubstitutions(QStringLiteral("MS Sans Serif"),
                                   {QStringLiteral("DejaVu Sans Condensed"),
                                    QStringLiteral("DejaVu Sans"), QStringLiteral("Sans Serif")});
        return true;
    }();
    (void)done;
}

} // namespace

MyMainForm::MyMainForm(QWidget* parent) : QMainWindow(parent) {
    substituteClassicFonts();
    setObjectName(QStringLiteral("MyMainForm"));
    setWindowTitle(QStringLiteral("PICREEL"));
    setWindowIcon(artwork::programIcon());
    setWindowFlags(Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint);
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSizeF(8);
    setFont(font);

    auto* area = new QWidget(this);
    area->setObjectName(QStringLiteral("clientArea"));
    area->setFixedSize(clientWidth, clientHeight);
    setCentralWidget(area);

    createControls();
    createMenus();
    setTabOrderOfControls();
    setFixedSize(clientWidth, clientHeight + menuBar()->sizeHint().height());
    connectHandlers();
    qApp->installEventFilter(this); // key preview
}

MyMainForm::~MyMainForm() {
    qApp->removeEventFilter(this);
}

namespace {
const QString busyCaption = QStringLiteral("RUNNING");
const QString idleCaption = QStringLiteral("Make AVI File");
} // namespace

bool MyMainForm::isBusy() const {
    return MakeAVI_button->text() == busyCaption;
}

void MyMainForm::setBusy(bool busy) {
    if (busy)
        keysDownWhileBusy_.clear();
    MakeAVI_button->setText(busy ? busyCaption : idleCaption);
}

platform::MousePointer MyMainForm::MousePointer() const {
    return platform::current().mousePointer();
}

void MyMainForm::setMousePointer(platform::MousePointer pointer) {
    platform::current().setMousePointer(pointer);
}

void MyMainForm::closeEvent(QCloseEvent* event) {
    bool cancel = false;
    Form_QueryUnload(cancel, 0);
    if (cancel) {
        event->ignore();
        return;
    }
    Form_Unload(cancel);
    event->accept();
    // The program's other windows go with the main window.
    for (QWidget* w : QApplication::topLevelWidgets())
        if (w != this && w->isVisible())
            w->close();
}
