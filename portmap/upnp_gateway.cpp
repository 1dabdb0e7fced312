#include "portmap/upnp_gateway.h"

#include "portmap/router_http.h"

#include <miniupnpc/miniupnpc.h>
#include <miniupnpc/upnpreplyparse.h>

namespace portmap::upnp {

namespace {

// How long one document or command may take.
constexpr int kAnswerMs = 1000;

QByteArray escaped(const QByteArray &text)
{
    return QString::fromUtf8(text).toHtmlEscaped().toUtf8();
}

// The gateway that `descriptionUrl` describes, when it describes one.
std::optional<Gateway> describedGateway(const char *descriptionUrl, unsigned int scope, const Patience &patience)
{
    const std::optional<HttpAnswer> answer = httpRequest(descriptionUrl, "GET", {}, {}, patience.atMost(kAnswerMs));
    if (!answer || answer->status != 200 || answer->body.isEmpty())
        return std::nullopt;
    IGDdatas data {};
    parserootdesc(answer->body.constData(), int(answer->body.size()), &data);
    UPNPUrls urls {};
    GetUPNPUrls(&urls, &data, descriptionUrl, scope);
    std::optional<Gateway> gateway;
    if (urls.controlURL && *urls.controlURL && data.first.servicetype[0])
        gateway = Gateway {urls.controlURL, data.first.servicetype, answer->localAddress};
    FreeUPNPUrls(&urls);
    return gateway;
}

} // namespace

std::optional<Gateway> findGateway(int discoverMs, const Patience &patience)
{
    // Every kind of gateway is searched for at once.
    static const char *const kGatewayTypes[] = {
        "urn:schemas-upnp-org:device:InternetGatewayDevice:1",
        "urn:schemas-upnp-org:device:InternetGatewayDevice:2",
        "urn:schemas-upnp-org:service:WANIPConnection:1",
        "urn:schemas-upnp-org:service:WANPPPConnection:1",
        nullptr,
    };
    if (patience.over())
        return std::nullopt;
    int error = 0;
    UPNPDev *devices = upnpDiscoverDevices(kGatewayTypes, discoverMs, nullptr, nullptr, UPNP_LOCAL_PORT_ANY, 0, 2, &error, 1);
    std::optional<Gateway> gateway;
    QList<QByteArray> described; // a gateway answers once for each kind searched for
    for (const UPNPDev *device = devices; device && !gateway && !patience.over(); device = device->pNext) {
        if (described.contains(device->descURL))
            continue;
        described.append(device->descURL);
        gateway = describedGateway(device->descURL, device->scope_id, patience);
    }
    freeUPNPDevlist(devices);
    return gateway;
}

QHash<QByteArray, QByteArray> soapValues(const QByteArray &body)
{
    NameValueParserData parsed {};
    ParseNameValue(body.constData(), int(body.size()), &parsed);
    QHash<QByteArray, QByteArray> values;
    for (const NameValue *entry = parsed.l_head; entry; entry = entry->l_next)
        values.insert(QByteArray(entry->name), QByteArray(entry->value));
    ClearNameValueList(&parsed);
    return values;
}

SoapAnswer command(const Gateway &gateway, const char *action, const QList<std::pair<QByteArray, QByteArray>> &arguments,
                   const Patience &patience)
{
    QByteArray inner;
    for (const auto &[name, value] : arguments)
        inner += '<' + name + '>' + escaped(value) + "</" + name + '>';
    const QByteArray body = "<?xml version=\"1.0\"?>\r\n"
                            "<s:Envelope xmlns:s=\"http://schemas.xmlsoap.org/soap/envelope/\" "
                            "s:encodingStyle=\"http://schemas.xmlsoap.org/soap/encoding/\"><s:Body>"
                            "<u:" + QByteArray(action) + " xmlns:u=\"" + escaped(gateway.serviceType) + "\">" + inner
                            + "</u:" + QByteArray(action) + "></s:Body></s:Envelope>\r\n";
    const QList<QByteArray> headers {
        "Content-Type: text/xml; charset=\"utf-8\"",
        "SOAPAction: \"" + gateway.serviceType + '#' + action + '"',
    };
    SoapAnswer answer;
    const std::optional<HttpAnswer> reply = httpRequest(gateway.controlUrl, "POST", headers, body, patience.atMost(kAnswerMs));
    if (!reply)
        return answer;
    answer.values = soapValues(reply->body);
    answer.ok = reply->status == 200;
    answer.errorCode = answer.values.value("errorCode").toInt();
    return answer;
}

} // namespace portmap::upnp
