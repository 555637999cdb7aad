// Shared by the catalogue tests: a window that records the tags-changed commands posted to it,
// and discs built from tables of contents.
#pragma once

#include <vector>

#include "catalogue/model/cd_info.h"
#include "tests/framework_ui/ui_test_support.h"

class NotifyWnd : public TestHostWnd
{
public:
    NotifyWnd() : TestHostWnd(8, 8) {}
    // The lParam of every ID_TAGS_CHANGED received, in order.
    std::vector<LPARAM> received;

protected:
    BOOL OnCommand(WPARAM wParam, LPARAM lParam) override;
};

// Appends one audio track per start sector; the last one lasts lastLength frames, every other
// one up to the next start.
// The member the host binds to the row of that name on its page; null when absent.
void* BoundMember(IPropertyHost& host, const char* rowName);

void AddTracks(CCDInfo& info, const std::vector<int>& starts, int lastLength);
