#include "net/error_sink.h"

#include <cstdio>

namespace vrel {

namespace {
ErrorSink &currentSink()
{
    static ErrorSink sink = [](const QString &text) {
        std::fprintf(stderr, "Vrel: %s\n", qPrintable(text));
    };
    return sink;
}
} // namespace

void setErrorSink(ErrorSink sink)
{
    currentSink() = std::move(sink);
}

void reportError(const QString &text)
{
    if (currentSink())
        currentSink()(text);
}

} // namespace vrel
