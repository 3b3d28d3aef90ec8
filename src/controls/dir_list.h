#pragma once

#include <QHash>
#include <QListWidget>

namespace controls {

// A classic folder list: the open folder's ancestors from its volume's root, then its
// subfolders, sorted ignoring case. A double click or Enter opens a folder.
class DirList : public QListWidget {
    Q_OBJECT

public:
    explicit DirList(QWidget* parent = nullptr);

    QString Path() const { return path_; }
    // Opens folder, a volume's root like any other, and raises Change when that is another
    // folder. False when the folder does not exist.
    bool setPath(const QString& folder);
    // Opens the folder last open on the volume a drive-list entry names, or the volume's root
    // when none was or that folder is gone. False when neither can be opened.
    bool openVolume(const QString& entry);

signals:
    void Change();

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    void fill();
    void openRow(int row);

    QString path_;
    QHash<QString, QString> lastFolderOfVolume_;
};

} // namespace controls
