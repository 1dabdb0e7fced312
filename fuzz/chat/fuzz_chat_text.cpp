// Chat lines and colour texts as a client receives them. The input, read as UTF-8, is a received
// chat line's data ("seat+text|colour"): split into line and colour, the line cut into what the
// view shows. A line without smilies must come out whole: the head and the words put together
// are its text with the blank that the words end in. Any colour value written as colour text
// must read back as itself.

#include "chat/chatline.h"
#include "chat/colourtext.h"
#include "chat/receivedchat.h"

#include <cstdint>
#include <cstdlib>
#include <cstring>

namespace {

void require(bool condition)
{
    if (!condition)
        std::abort();
}

void checkLine(const QString &line)
{
    const std::optional<chat::ChatLine> parsed = chat::parseChatLine(line);
    if (!parsed)
        return;
    require(parsed->style == (parsed->seat > 0 ? parsed->seat + chat::SeatStyleOffset : chat::SystemStyle));
    const QString rest = line.mid(line.indexOf(u'+') + 1);
    if (rest.contains(chat::SmileyMarker))
        return;
    QString shown = parsed->head.chopped(1);
    for (const chat::ChatItem &item : parsed->items) {
        require(item.kind != chat::ChatItem::Kind::Smiley);
        require((item.kind == chat::ChatItem::Kind::Link) == chat::isLinkWord(item.text));
        shown += item.text;
    }
    require(shown == (parsed->items.empty() ? rest : rest + u' '));
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data), qsizetype(size));
    const chat::ReceivedChat received = chat::readReceivedChat(text);
    checkLine(received.line);
    checkLine(text);

    if (const std::optional<quint32> colour = chat::colourFromText(text))
        require(chat::colourFromText(chat::colourToText(*colour)) == *colour);
    if (size >= 4) {
        quint32 value = 0;
        std::memcpy(&value, data, 4);
        require(chat::colourFromText(chat::colourToText(value)) == value);
    }
    return 0;
}
