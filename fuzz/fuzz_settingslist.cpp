#include "core/store/settingslistcodec.h"
#include "fuzz/fuzzcheck.h"

// Any blob decodes; a decoded list written again reads back as the same list, in UTF-8 and,
// when every character has a place there, in Windows-1252.
extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    using namespace SettingsListCodec;
    const Decoded decoded = decode(fuzzBytes(data, size));

    const Decoded utf8 = decode(encodeUtf8(decoded.entries));
    fuzzCheck(utf8.clean, "UTF-8 written by the codec reads back clean");
    fuzzCheck(utf8.entries == decoded.entries, "UTF-8 round trip keeps the list");

    if (fitsWindows1252(decoded.entries)) {
        const Decoded cp1252 = decode(encodeWindows1252(decoded.entries));
        fuzzCheck(cp1252.entries == decoded.entries, "Windows-1252 round trip keeps the list");
    }
    return 0;
}
