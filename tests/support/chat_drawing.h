#pragma once

#include "chat/chatview.h"

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

} // namespace testing_support
