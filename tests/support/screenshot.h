#pragma once

#include <QDir>
#include <QString>
#include <QWidget>

namespace testing_support {

// With VREL_SCREENSHOTS naming a folder, the widget is saved there as NAME.png to be looked at.
inline void screenshot(QWidget *widget, const QString &name)
{
    const QString folder = qEnvironmentVariable("VREL_SCREENSHOTS");
    if (folder.isEmpty())
        return;
    QDir().mkpath(folder);
    widget->grab().save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
}

} // namespace testing_support
