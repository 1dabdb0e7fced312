#include "chat/colourdrawing.h"

#include "chat/colourtext.h"
#include "resources/art/contrast.h"

#include <QGuiApplication>

#include <array>

namespace chat {
namespace {

struct PaletteEntry
{
    QPalette::ColorGroup group;
    QPalette::ColorRole role;
};

constexpr QPalette::ColorGroup Active = QPalette::Active;
constexpr QPalette::ColorGroup Inactive = QPalette::Inactive;
constexpr QPalette::ColorGroup Disabled = QPalette::Disabled;

// Indexed like the system colours: scroll bar, desktop, active caption, inactive caption, menu,
// window, window frame, menu text, window text, caption text, active border, inactive border,
// application work space, highlight, highlight text, button face, button shadow, grey text,
// button text, inactive caption text, button highlight, 3D dark shadow, 3D light, info text,
// info background.
constexpr std::array<PaletteEntry, SystemColourCount> systemRoles{{
    {Active, QPalette::Button},           {Active, QPalette::Dark},
    {Active, QPalette::Highlight},        {Inactive, QPalette::Highlight},
    {Active, QPalette::Window},           {Active, QPalette::Base},
    {Active, QPalette::Shadow},           {Active, QPalette::WindowText},
    {Active, QPalette::Text},             {Active, QPalette::HighlightedText},
    {Active, QPalette::Window},           {Inactive, QPalette::Window},
    {Active, QPalette::Dark},             {Active, QPalette::Highlight},
    {Active, QPalette::HighlightedText},  {Active, QPalette::Button},
    {Active, QPalette::Dark},             {Disabled, QPalette::Text},
    {Active, QPalette::ButtonText},       {Inactive, QPalette::HighlightedText},
    {Active, QPalette::Light},            {Active, QPalette::Shadow},
    {Active, QPalette::Midlight},         {Active, QPalette::ToolTipText},
    {Active, QPalette::ToolTipBase},
}};

} // namespace

QColor drawingColour(quint32 colour, const QPalette &palette)
{
    if (colour == ColourNone)
        return QColor(Qt::transparent);
    if (colour & SystemColourBase) {
        const quint32 index = colour - SystemColourBase;
        if (index < systemRoles.size())
            return palette.color(systemRoles[index].group, systemRoles[index].role);
        return palette.color(QPalette::Active, QPalette::Text);
    }
    return QColor(int(colour & 0xFF), int((colour >> 8) & 0xFF), int((colour >> 16) & 0xFF));
}

QColor drawingColour(quint32 colour)
{
    return drawingColour(colour, QGuiApplication::palette());
}

QColor textDrawingColour(quint32 colour, const QPalette &palette)
{
    const QColor drawn = drawingColour(colour, palette);
    return drawn.alpha() == 0 ? palette.color(QPalette::Active, QPalette::Text) : drawn;
}

} // namespace chat

namespace chat {

QColor readableTextColour(quint32 colour, const QPalette &palette)
{
    return art::readableOn(textDrawingColour(colour, palette), palette.color(QPalette::Active, QPalette::Base));
}

} // namespace chat
