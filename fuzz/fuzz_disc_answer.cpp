// Fuzz target: a disc-information service answer applied to a disc record of three entries,
// then the record written back as a submission document.
#include <cstddef>
#include <cstdint>
#include <string>

#include "catalogue/model/cd_info.h"
#include "catalogue/service/sonoria_db_mgr.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    std::string body(reinterpret_cast<const char*>(data), size); // zero-ended, as read
    CCDInfo info;
    info.SetDiscId(0x1a2b3c4d);
    for (int i = 0; i < 3; ++i) {
        CCDTrack* t = info.AddNewTrack();
        t->SetFlags(i == 2 ? 4 : 0);
        t->SetStartSector(i * 15000);
        t->SetLengthFrames(15000);
    }
    CSonoriaDBMgr mgr("http://127.0.0.1/");
    mgr.ApplyQueryAnswer(body.c_str(), &info);
    CString xml = CSonoriaDBMgr::BuildSubmissionXml(info, "", "Sonoria");
    (void)xml;
    return 0;
}
