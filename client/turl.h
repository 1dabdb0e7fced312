#pragma once

#include "chat/linktarget.h"

#include <QString>

// The kinds of address a link names; each puts its scheme before the address.
enum class TURLType { utFile, utFtp, utGopher, utHttp, utHttps, utMailto, utNews, utTelnet, utWais, utnone };

// A link that opens an address in the desktop's browser. Only web addresses are handed over: a
// link that would open a local file, a mail program or anything else opens nothing.
class TURL
{
public:
    QString URL;
    TURLType URLType = TURLType::utHttp;
    // The desktop's browser; tests put their own here.
    chat::LinkOpener opener = chat::desktopLinkOpener();

    static QString prefix(TURLType type);
    // True when the browser took the address; an empty address opens nothing.
    bool Execute() const;
};

// The game's web address, which the about window and the logo on the board open.
QString gameWebAddress();
