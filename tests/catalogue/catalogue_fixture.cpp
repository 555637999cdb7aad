// The notify window and the disc builder of the catalogue tests.
#include "tests/catalogue/catalogue_fixture.h"

#include "propgrid/prop_list.h"

BOOL NotifyWnd::OnCommand(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) == ID_TAGS_CHANGED) {
        received.push_back(lParam);
        return TRUE;
    }
    return TestHostWnd::OnCommand(wParam, lParam);
}

void AddTracks(CCDInfo& info, const std::vector<int>& starts, int lastLength)
{
    for (size_t i = 0; i < starts.size(); ++i) {
        CCDTrack* t = info.AddNewTrack();
        t->SetFlags(0);
        t->SetStartSector(starts[i]);
        t->SetLengthFrames(i + 1 < starts.size() ? starts[i + 1] - starts[i] : lastLength);
    }
}

void* BoundMember(IPropertyHost& host, const char* rowName)
{
    EPropList list;
    host.FillProperties(&list);
    for (int p = 0; p < list.GetPageCount(); ++p)
        for (int i = 0; i < list.GetPage(p)->GetPropertyCount(); ++i)
            if (list.GetPage(p)->GetProperty(i)->GetName() == rowName)
                return list.GetPage(p)->GetProperty(i)->GetPropertyAddress();
    return nullptr;
}
