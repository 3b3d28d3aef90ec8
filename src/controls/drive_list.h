#pragma once

#include "platform/volume.h"

#include <QComboBox>

namespace controls {

// The classic drive list: one entry per mounted volume, its root path followed by the
// volume's name in brackets when it has one.
class DriveList : public QComboBox {
    Q_OBJECT

public:
    explicit DriveList(QWidget* parent = nullptr);

    // Reads the volumes again from the platform.
    void Refresh();

    // The selected entry's text.
    QString Drive() const { return currentText(); }
    // Selects the volume that holds path (an entry text works too); raises Change when
    // that is another volume.
    void setDrive(const QString& path);
    // The root path of the selected volume.
    QString rootPath() const;
    bool isReady() const;

    static QString entryText(const platform::Volume& volume);

signals:
    void Change();

private:
    int indexHolding(const QString& path) const;

    QList<platform::Volume> volumes_;
    bool settingDrive_ = false;
};

// The volume root that an entry text or path begins with: "/media/usb [USB]" gives
// "/media/usb/" when that is a root of volumes; "" when none holds it.
QString volumeRootOf(const QString& pathOrEntry, const QList<platform::Volume>& volumes);

} // namespace controls
