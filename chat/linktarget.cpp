#include "chat/linktarget.h"

#include <QDesktopServices>
#include <QRegularExpression>

namespace chat {

LinkOpener desktopLinkOpener()
{
    return [](const QUrl &url) { return QDesktopServices::openUrl(url); };
}

std::optional<QUrl> linkAddress(const QString &target)
{
    QString text = target;
    if (text.endsWith(u' '))
        text.chop(1);
    if (text.startsWith(QLatin1String("http://"), Qt::CaseInsensitive))
        text.remove(0, 7);

    static const QRegularExpression schemePrefix(QStringLiteral("^[A-Za-z][A-Za-z0-9+.-]*://"));
    QString address;
    if (text.startsWith(QLatin1String("https://"), Qt::CaseInsensitive))
        address = text;
    else if (schemePrefix.match(text).hasMatch())
        return std::nullopt; // "file://", "ftp://" and the like
    else
        address = QStringLiteral("http://") + text;

    const QUrl url(address, QUrl::StrictMode);
    const QString scheme = url.scheme().toLower();
    if (!url.isValid() || url.host().isEmpty() || (scheme != u"http" && scheme != u"https"))
        return std::nullopt;
    return url;
}

} // namespace chat
