// The view's rip and convert commands: the checked tracks or files of the grid become a batch
// of jobs in the default or a chosen output format.
#include "app/shell/sonoria3_view.h"

void CSonoria3View::OnRipDefault() {}

void CSonoria3View::OnRipWav() {}

void CSonoria3View::OnRipMp3() {}

void CSonoria3View::OnRipOgg() {}

void CSonoria3View::OnRipWma() {}

void CSonoria3View::OnRipFlac() {}

// Not available until the batch runs.
void CSonoria3View::OnUpdateRipCommand(CCmdUI* pCmdUI)
{
    pCmdUI->Enable(FALSE);
}
