#pragma once

#include <QDir>
#include <QPixmap>
#include <QString>
#include <QWidget>

namespace testing_support {

// With VREL_SCREENSHOTS naming a folder, the widget (or the area of it, enlarged `zoom` times
// pixel for pixel) is saved there as NAME.png to be looked at.
inline void screenshot(QWidget *widget, const QString &name, const QRect &area = QRect(), int zoom = 1)
{
    const QString folder = qEnvironmentVariable("VREL_SCREENSHOTS");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    QPixmap shot = widget->grab(area.isNull() ? QRect(QPoint(0, 0), QSize(-1, -1)) : area);
    if (zoom > 1)
        shot = shot.scaled(shot.size() * zoom, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    shot.save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
}

} // namespace testing_support
