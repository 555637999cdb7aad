// A small store with one setting of every kind, for the store's tests.
#pragma once

#include "foundation/settings/cfg_base.h"

class CTestStore : public CCfgBase {
public:
    explicit CTestStore(BOOL bAutoDeclare = FALSE) : CCfgBase(bAutoDeclare) { DefineSettings(); }
    void DefineSettings() override
    {
        Declare("Name", "default name");
        Declare("Count", "3");
        Declare("Flag", "1");
        Declare("Items", "x|y|", TRUE);
        Declare("Empty", "", TRUE);
    }
};
