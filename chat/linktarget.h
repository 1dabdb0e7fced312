#pragma once

#include <QString>
#include <QUrl>

#include <functional>
#include <optional>

namespace chat {

// Hands an address to the desktop's web browser; false when it could not be handed over.
using LinkOpener = std::function<bool(const QUrl &)>;

// The desktop's own opener (QDesktopServices).
LinkOpener desktopLinkOpener();

// The web address a link's target text stands for: the trailing blank and a leading "http://"
// (any case) come off, and what is left is opened as an http address ("https://" stays https).
// Anything that does not make a valid http(s) address with a host gives nothing, so a chat word
// can never open a local file or start another kind of program.
std::optional<QUrl> linkAddress(const QString &target);

} // namespace chat
