// Fuzz target: the CDDB client's reply parsers over one HTTP reply.
#include "catalogue/cddb/cddb.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    CCDDB client;
    const CString reply(reinterpret_cast<const char*>(data), static_cast<int>(size));
    CString body;
    if (!client.FindBody(reply, body))
        body = reply;
    CCDDBSiteArray sites;
    client.ParseSitesReply(body, sites);
    client.SetProtocolLevel(2);
    client.ParseSitesReply(body, sites);
    CStringArray categories;
    client.ParseLsCatReply(body, categories);
    CCDDBStatus status;
    client.ParseStatReply(body, status);
    CCDDBQueryResultArray results;
    client.ParseQueryReply(body, results);
    CCDDBRecord record;
    client.ParseReadReply(body, record);
    CString motd;
    client.ParseMotdReply(body, motd);
    client.IsSubmitAccepted(body);
    return 0;
}
