#include "resources/art/palette.h"

namespace art {

QPalette windowPalette()
{
    QPalette look(palette::peachLight, palette::peach);
    for (QPalette::ColorGroup group : {QPalette::Active, QPalette::Inactive}) {
        for (QPalette::ColorRole role : {QPalette::WindowText, QPalette::Text, QPalette::ButtonText, QPalette::ToolTipText})
            look.setColor(group, role, Qt::black);
        look.setColor(group, QPalette::Base, Qt::white);
        look.setColor(group, QPalette::AlternateBase, palette::peachLight);
        look.setColor(group, QPalette::Highlight, palette::darkRed);
        look.setColor(group, QPalette::HighlightedText, Qt::white);
        look.setColor(group, QPalette::ToolTipBase, palette::peachLight);
        look.setColor(group, QPalette::Link, palette::maroon);
        look.setColor(group, QPalette::LinkVisited, palette::maroon);
        look.setColor(group, QPalette::BrightText, Qt::white);
        look.setColor(group, QPalette::PlaceholderText, Qt::darkGray);
    }
    // Marks every role of every group as set, so nothing is taken from the desktop's palette.
    for (int group = 0; group < QPalette::NColorGroups; ++group) {
        for (int role = 0; role < QPalette::NColorRoles; ++role) {
            const auto g = QPalette::ColorGroup(group);
            const auto r = QPalette::ColorRole(role);
            if (r == QPalette::NoRole)
                continue;
            look.setBrush(g, r, look.brush(g, r));
        }
    }
    return look;
}

} // namespace art
