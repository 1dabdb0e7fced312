#include "client/turl.h"

QString TURL::prefix(TURLType type)
{
    switch (type) {
    case TURLType::utFile: return QStringLiteral("file://");
    case TURLType::utFtp: return QStringLiteral("ftp://");
    case TURLType::utGopher: return QStringLiteral("gopher://");
    case TURLType::utHttp: return QStringLiteral("http://");
    case TURLType::utHttps: return QStringLiteral("https://");
    case TURLType::utMailto: return QStringLiteral("mailto:");
    case TURLType::utNews: return QStringLiteral("news:");
    case TURLType::utTelnet: return QStringLiteral("telnet:");
    case TURLType::utWais: return QStringLiteral("wais:");
    case TURLType::utnone: break;
    }
    return {};
}

bool TURL::Execute() const
{
    if (URL.isEmpty())
        return false;
    const QString target = prefix(URLType) + URL;
    const bool web = target.startsWith(QLatin1String("http://"), Qt::CaseInsensitive)
                     || target.startsWith(QLatin1String("https://"), Qt::CaseInsensitive);
    if (!web)
        return false;
    const std::optional<QUrl> address = chat::linkAddress(target);
    return address && opener && opener(*address);
}

QString gameWebAddress()
{
    return QStringLiteral(VREL_WEB_ADDRESS);
}
