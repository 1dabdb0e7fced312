#pragma once

#include <QFont>

// The board's texts are Arial at fixed pixel sizes.
inline QFont boardFont(int pixelSize, bool bold = false)
{
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(pixelSize);
    font.setBold(bold);
    return font;
}
