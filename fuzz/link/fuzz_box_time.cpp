// Date-time texts from the box, both parses.
#include "protocol/CReplyReader.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    const QString text = QString::fromUtf8(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size));
    const auto a = CReplyReader::ParseBoxTime(text);
    const auto b = CReplyReader::ParseHeaderTime(text);
    // Whatever is accepted lies within the years the parse allows.
    for (const auto& t : {a, b}) {
        if (t && (*t < -2300000000LL || *t > 253402400000LL))
            __builtin_trap();
    }
    return 0;
}
