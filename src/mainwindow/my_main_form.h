#pragma once

#include "controls/shift_state.h"
#include "picture/picture_format.h"
#include "picture/reduced_picture_cache.h"
#include "platform/common_dialog.h"
#include "platform/mouse_pointer.h"

#include <QMainWindow>
#include <QSet>

class QAction;
class QFrame;
class QKeyEvent;
class QKeySequence;
class QLabel;
class QLineEdit;
class QMenu;
class QPushButton;
class PreviewForm;

namespace controls {
class DirList;
class DriveList;
class FileList;
class ImageBox;
class ListBox;
struct MouseArgs;
} // namespace controls

// The main window. Its controls keep their classic names (also as objectName), and its
// handlers are grouped here by subsystem and defined in that subsystem's folder.
class MyMainForm : public QMainWindow {
    Q_OBJECT

public:
    explicit MyMainForm(QWidget* parent = nullptr);
    ~MyMainForm() override;

    // The window's state, held from load to unload, as its routines left it. Only the window
    // writes it: a command given during a job asks it to stop, and the job takes the request
    // back when the user answers that it should go on.
    const QString& currentPicturePath() const { return CurrentPicturePath; }
    const QString& aviFilePath() const { return AviFilePath; }
    const picture::PictureFormat& firstPictureFormat() const { return FirstPictureFormat; }
    bool abortRequested() const { return AbortRequested; }
    void requestAbort() { AbortRequested = true; }
    void withdrawAbortRequest() { AbortRequested = false; }
    // Play plays `aviPath` from now on; "" leaves it nothing to play.
    void setPlayable(const QString& aviPath);

    // Busy exactly while the Make button reads "RUNNING": the caption is the state, and
    // setBusy is the one place that writes it.
    bool isBusy() const;
    // The filmstrip's picture of `path` made from `whole`, just loaded for the video, so
    // that showing it reads nothing again. During the Make command the filmstrip makes no
    // pictures of its own: `shown` paints this one now if the filmstrip shows it.
    enum class Shown { Later, Now };
    void offerThumbnail(const QString& path, const QImage& whole, Shown shown = Shown::Later);
    void setBusy(bool busy);

    platform::MousePointer MousePointer() const;
    void setMousePointer(platform::MousePointer pointer);

    // --- lifecycle (mainwindow/lifecycle.cpp) ---
    void Form_Load();
    void Form_QueryUnload(bool& Cancel, int UnloadMode);
    void Form_Unload(bool& Cancel);
    void ExitMenu_Click();
    // The session ending or a `kill` asks the program to end: a running job stops after the
    // frame in hand without asking and keeps what it wrote, then the window closes.
    void endByRequest();
    QString WindowsDirectoryPath() const;

    // --- command states and filmstrip (mainwindow/command_states.cpp, filmstrip.cpp) ---
    void RefreshCommandStates();
    void RefreshFilmstrip();
    void PlayReset();
    void BMPlist_Click();
    void BMPlist_MouseDown(const controls::MouseArgs& args);
    void Previous_image_MouseDown(const controls::MouseArgs& args);
    void Next_image_MouseDown(const controls::MouseArgs& args);
    void Selected_Image_MouseDown(const controls::MouseArgs& args);

    // --- AVI writing (makeavi/make_avi.cpp, timing_boxes.cpp) ---
    void MakeAVI_button_Click();
    void PlayAVIbutton_Click();
    void txtFPS_LostFocus();
    void duration_txtbox_LostFocus();

    // --- Add all (list/add_all.cpp) ---
    void All_button_Click();
    void File1_PathChange();

    // --- list edits (list/list_edits.cpp) ---
    void Add_button_Click();
    void File1_DblClick();
    void Insert_button_Click();
    void Remove_button_Click();
    void No_duplicates_button_Click();
    void ClearALLmenu_Click();
    void UpButton_Click();
    void DownButton_Click();
    // Pictures or folders dropped on the picture list (list/picture_drop.cpp); the list takes
    // drops once acceptPictureDrops has run.
    void BMPlist_DropFiles(const QStringList& paths);
    void acceptPictureDrops();

    // --- menu commands (list/menu_commands.cpp); the three menu-open rules run each time
    // their menu opens ---
    void FileMenu_Click();
    void BitmapMenu_Click();
    void AVImenu_Click();
    void SaveMenu_Click();
    void DeskTopMenuItem_Click();
    void AddBMPmenu_Click();
    void InsertMenu_Click();
    void AddAllMenu_Click();
    void RemoveMenu_Click();
    void NoDuplicatesMenu_Click();
    void SHiftUpMenu_Click();
    void ShiftDownMenu_Click();
    void MakeAVImenu_Click();
    void PlayAVImenu_Click();

    // --- folder browser (browse/folder_browser.cpp) ---
    void Drive1_Change();
    void Dir1_Change();
    void DesktopButton_Click();
    void File1_MouseDown(const controls::MouseArgs& args);
    // Where the command line points the browser: a folder, or a picture's folder with the
    // picture selected and previewed. A path that is neither is reported as a folder that
    // cannot be opened, and the browser stays where it is.
    void startIn(const QString& path);

    // --- preview and Open (browse/preview.cpp, browse/open_command.cpp) ---
    void File1_Click();
    void RefreshPreview();
    void imgPreview_MouseDown(const controls::MouseArgs& args);
    void imgPreview_DblClick();
    void PreviewMenu_Click();
    void OpenMenu_Click();

    // --- full-size preview (browse/full_size_preview.cpp) ---
    void ShowFullSizePreview(const QString& path);

    // --- keys; the window sees every key before the focused control (mainwindow/key_preview.cpp).
    // Setting the code to 0 consumes the key. While busy, every key is consumed, and a key
    // going up asks to stop only when it went down while busy.
    void Form_KeyDown(int& KeyCode, controls::ShiftState Shift);
    void Form_KeyPress(int& KeyAscii);
    void Form_KeyUp(int& KeyCode, controls::ShiftState Shift);

    // --- Help menu (auxwindows/help_commands.cpp) ---
    void TipsMenu_Click();
    void FernquillMenu_Click();
    void AboutMenu_Click();

protected:
    void closeEvent(QCloseEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    // The window's job host works the controls and the state as the window's own routines do.
    friend class FormJobHost;

    // --- window state, held from load to unload ---
    QString CurrentPicturePath;
    QString AviFilePath;
    bool AbortRequested = false;
    picture::PictureFormat FirstPictureFormat;
    bool endRequested_ = false;   // by endByRequest
    QSet<int> keysDownWhileBusy_; // since the job started

    // --- controls (mainwindow/layout.cpp) ---
    QLabel* Label1;
    controls::DriveList* Drive1;
    controls::DirList* Dir1;
    QPushButton* DesktopButton;
    controls::FileList* File1;

    QPushButton* No_duplicates_button;
    QLabel* lblfps;
    QLineEdit* txtFPS;
    QLabel* Duration_label;
    QLineEdit* duration_txtbox;
    QPushButton* Remove_button;
    QLabel* Preview_filename_label;
    controls::ImageBox* imgPreview;
    QLabel* PreviewSize_label;
    QPushButton* Insert_button;
    QPushButton* Add_button;
    QPushButton* All_button;

    QPushButton* UpButton;
    QLabel* bmplist_filename_label;
    controls::ListBox* BMPlist;
    QPushButton* DownButton;
    QLabel* bmp_size_label;
    QPushButton* MakeAVI_button;
    QPushButton* PlayAVIbutton;
    QLabel* lblStatus;

    controls::ImageBox* FilmImage;
    QLabel* Previous_image_label;
    controls::ImageBox* Previous_image;
    QLabel* Selected_image_label;
    controls::ImageBox* Selected_Image;
    QLabel* Next_image_label;
    controls::ImageBox* Next_image;

    controls::ImageBox* TempImage;
    platform::CommonDialog CommonDialog1;
    QFrame* Line1;

    // --- menus (mainwindow/menus.cpp) ---
    QMenu* FileMenu;
    QAction* OpenMenu;
    QAction* SaveMenu;
    QAction* MenuLineBreak1;
    QAction* DeskTopMenuItem;
    QAction* MenuLineBreak2;
    QAction* ExitMenu;
    QMenu* BitmapMenu;
    QAction* AddBMPmenu;
    QAction* InsertMenu;
    QAction* AddAllMenu;
    QAction* LineBreak1Menu;
    QAction* RemoveMenu;
    QAction* NoDuplicatesMenu;
    QAction* ClearALLmenu;
    QAction* LineBreak2Menu;
    QAction* SHiftUpMenu;
    QAction* ShiftDownMenu;
    QAction* LineBreak3Menu;
    QAction* PreviewMenu;
    QMenu* AVImenu;
    QAction* MakeAVImenu;
    QAction* PlayAVImenu;
    QMenu* HelpMenu;
    QAction* TipsMenu;
    QAction* FernquillMenu;
    QAction* AboutMenu;

    // Key preview (mainwindow/key_preview.cpp); true: the key is consumed.
    bool keyWentDown(const QKeyEvent& key);
    bool keyWentUp(const QKeyEvent& key);
    bool isMenuShortcut(const QKeySequence& keys) const;

    void createControls();
    void createMenus();
    void setTabOrderOfControls();
    void connectHandlers();
    // When busy, turns the command into an abort request and answers true.
    bool abortIfBusy();
    // Appends every path that loads as a picture, reporting each one that does not, then
    // selects the last entry and refreshes as Add ALL does (list/add_all.cpp).
    void appendLoadablePictures(const QStringList& paths);
    // A press on a picture that stands for list entry `entry`: the right button previews it
    // at full size, the left one selects it when `leftSelects`; other buttons do nothing.
    void pressOnEntry(const controls::MouseArgs& args, int entry, bool leftSelects);
    PreviewForm* previewForm_ = nullptr; // made on first use, reused for the whole run
    // Moves the browser to the folder of `file` and selects and previews it, as Open does
    // (browse/open_command.cpp).
    void browseToPicture(const QString& file);
    // A filmstrip picture of `path`, empty when it does not load or has not arrived yet.
    picture::ReducedPicture thumbnailOf(const QString& path);
    enum class Arrival { No, Yes };
    void showFilmstrip(Arrival arrival);
    QSet<QString> thumbnailsAwaited_;
    // The filmstrip's pictures at the selected thumbnail's size: 4 MiB holds about ninety, so
    // stepping back and forth over a stretch of the list reads no file again.
    picture::ReducedPictureCache thumbnails_{4 * 1024 * 1024, {125, 91}};
    // Exchanges the selected entry with entry `to` and selects it there, so that the
    // selection follows the moved picture (list/list_edits.cpp).
    void shiftSelectedTo(int to);
    // The save dialog and the overwrite question of a Make command; false: no file chosen.
    bool ChooseAviFile();
};
