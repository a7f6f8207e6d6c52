// The message bus's framing: any line decodes or is refused; a request that decodes
// encodes to one line that decodes to the same request.
#include "FuzzSupport.h"
#include "platform/MessageBus.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const FuzzSupport::Input input(data, size);
    const QByteArray line = input.bytes();
    const auto request = MessageBus::decodeRequest(line);
    if (!request)
        return 0;
    const QByteArray encoded = MessageBus::encodeRequest(*request);
    if (encoded.count('\n') != 1 || !encoded.endsWith('\n'))
        FuzzSupport::broken("a request is one line");
    const auto again = MessageBus::decodeRequest(encoded);
    if (!again || again->message != request->message || again->payload != request->payload)
        FuzzSupport::broken("a request survives encoding");
    return 0;
}
