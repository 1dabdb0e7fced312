#pragma once

#include <QList>
#include <QString>

// The pages of the help window: the button that shows each, its number, and its text (rich
// text whose first line is the page's own title).
struct HelpPage {
    QString button;
    int tag = 0;
    QString text;
};

const QList<HelpPage> &helpPages();
