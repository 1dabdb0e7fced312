#pragma once

#include "chat/chatview.h"
#include "chat/colourdrawing.h"
#include "resources/art/contrast.h"

#include <QTextBlock>

namespace testing_support {

// The format a piece of a line on screen is painted with: its own, with its style's colour laid
// over it.
inline QTextCharFormat drawnFormat(const chat::ChatView &view, const QTextFragment &fragment)
{
    QTextCharFormat format = fragment.charFormat();
    for (const QAbstractTextDocumentLayout::Selection &run : view.looks()) {
        if (fragment.position() >= run.cursor.selectionStart() && fragment.position() < run.cursor.selectionEnd())
            format.merge(run.format);
    }
    return format;
}

// A player's colour as the chat draws it on its peach: as it is when it reads there, else made
// just dark enough to (red, say).
inline QColor onChat(const QColor &colour)
{
    return art::readableOn(colour, chat::drawingColour(chat::ChatView::BackgroundColour));
}

} // namespace testing_support
