// vCard reader: any bytes are read or refused without harm; a card read is written as the
// program writes it and read back with the same attributes (a card without a display name
// gets one made of the name's parts).
#include "FuzzSupport.h"
#include "integration/ProfileCard.h"
#include "integration/VCardParser.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const FuzzSupport::Input input(data, size);
    const QByteArray bytes = input.bytes();
    const VCardReadResult read = VCard::read(bytes);
    if (!read.ok()) {
        if (!read.properties.isEmpty())
            FuzzSupport::broken("a refused card has no properties");
        return 0;
    }
    const ProfileCard card = ProfileCard::fromVCard(read);
    const VCardReadResult again = VCard::read(card.toVCard());
    if (!again.ok())
        FuzzSupport::broken("a written card is read");
    const ProfileCard back = ProfileCard::fromVCard(again);
    for (const ProfileCard::Attribute& a : ProfileCard::attributes()) {
        if (a.name == QByteArrayView("vCard.DisplayName") &&
            card.attribute(u"vCard.DisplayName").isEmpty())
            continue;
        if (back.attribute(QLatin1String(a.name)) != card.attribute(QLatin1String(a.name)))
            FuzzSupport::broken("a written card keeps every attribute");
    }
    return 0;
}
