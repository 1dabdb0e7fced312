#pragma once

#include <QString>
#include <exception>
#include <functional>

namespace vrel {

// Where an error that escapes an event handler ends up: a message box "Vrel" in the window
// program, stderr in the headless host. Handlers never let an exception cross Qt's event loop.
using ErrorSink = std::function<void(const QString &)>;

void setErrorSink(ErrorSink sink);
void reportError(const QString &text);

template <class Handler>
void guarded(Handler &&handler)
{
    try {
        handler();
    } catch (const std::exception &e) {
        reportError(QString::fromUtf8(e.what()));
    }
}

} // namespace vrel
