// Dropped data: the address a drag's links, HTML or text carry. The input is split into
// the three parts a drag offers; nothing may crash or touch memory it does not own.
#include "FuzzSupport.h"
#include "integration/DroppedAddress.h"

#include <QMimeData>
#include <QUrl>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const FuzzSupport::Input input(data, size);
    const QList<QByteArray> parts = input.bytes().split('\x01');
    QMimeData mime;
    if (parts.size() > 0 && !parts[0].isEmpty())
        mime.setUrls({QUrl(QString::fromUtf8(parts[0]))});
    if (parts.size() > 1)
        mime.setHtml(QString::fromUtf8(parts[1]));
    if (parts.size() > 2)
        mime.setText(QString::fromUtf8(parts[2]));
    if (!DroppedAddress::CanRead(&mime))
        return 0;
    const QString address = DroppedAddress::FromMimeData(&mime);
    if (address.size() > qsizetype(size) * 9 + 64) // a percent-encoded link at most
        FuzzSupport::broken("the address is bounded by the input");
    return 0;
}
