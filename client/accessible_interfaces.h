#pragma once

// What a screen reader learns of the game's own widgets through Qt's accessibility (AT-SPI on
// Linux): the board's words as a table of cells, the seat rows as a list, the picture labels that
// react to a click (the "Type In Chat" box, the logo, the about window's link) as a check box and
// links with their action, and widgets that name their role in the property kAccessibleRole.

// A widget carrying this property (an int, a QAccessible::Role) is presented in that role.
inline constexpr char kAccessibleRole[] = "vrelAccessibleRole";

// Installs the interfaces once for the application; calling it again does nothing.
void installAccessibleInterfaces();
