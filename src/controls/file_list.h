#pragma once

#include "controls/classic_list.h"

#include <QRegularExpression>

#include <optional>

namespace controls {

// A classic file list: the files (never folders) of one folder whose names match a
// ";"-separated pattern, case-insensitively, in natural order.
class FileList : public ClassicList {
    Q_OBJECT

public:
    explicit FileList(QWidget* parent = nullptr);

    QString Path() const { return path_; }
    // Lists folder and raises PathChange; false (and nothing changes) when it cannot be listed.
    bool setPath(const QString& folder);
    // Reads the same folder again; raises no PathChange.
    bool Refresh();

    QString Pattern() const { return pattern_; }
    void setPattern(const QString& pattern);

    QString FileName() const { return List(ListIndex()); }

    // Whether a bare file name matches the pattern.
    bool matches(const QString& name) const;
    // The names this list would show for folder, in its order; nullopt when folder cannot
    // be listed.
    std::optional<QStringList> matchingFiles(const QString& folder) const;
    // The files of folder the pattern takes but the list cannot show, because their names are
    // not UTF-8, as the user can read them; in the folder's order.
    QStringList unlistedNames(const QString& folder) const;

signals:
    void PathChange();

protected:
    // A press and a move drag the selected file out, as a file manager drags it: by its
    // address, to be copied, so that the picture list or a file manager takes it.
    void startDrag(Qt::DropActions supportedActions) override;

private:
    bool readFolder(const QString& folder);

    QString path_;
    QString pattern_;
    QList<QRegularExpression> filters_;
};

} // namespace controls
