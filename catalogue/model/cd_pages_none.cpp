// The native check build has no property grid: there the records' pages are empty, so the
// portable record code (identifiers, checksums, the service answer) links and can be fuzzed.
#include "catalogue/model/cd_info.h"

void CCDTrack::FillProperties(EPropList*) {}

bool CCDTrack::OnPropertyChange(void*, void*)
{
    SetModified();
    return true;
}

bool CCDTrack::IsPropertyEditable(void*)
{
    return false;
}

void CCDInfo::FillProperties(EPropList*) {}

bool CCDInfo::OnPropertyChange(void*, void*)
{
    SetModified();
    return true;
}

bool CCDInfo::IsPropertyEditable(void*)
{
    return false;
}
