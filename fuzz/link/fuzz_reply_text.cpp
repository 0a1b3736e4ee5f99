// Reply bytes through body-to-text, loading, encoding repair and the header clock.
#include "protocol/CQuarnWrapper.h"
#include "protocol/CReplyReader.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CQuarnWrapper wrapper;
    wrapper.SetResponseBody(QByteArray(reinterpret_cast<const char*>(data), static_cast<qsizetype>(size)));
    pugi::xml_document doc;
    if (!wrapper.LoadReply(doc))
        __builtin_trap();
    int code = 0;
    CReplyReader::GetErrorCode(doc, "//pin", code);
    (void)CReplyReader::SelectText(doc, pugi::xpath_query("//quarn:query/@quarn:version"));
    return 0;
}
