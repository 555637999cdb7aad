// The application object of the test programs that do not bring one of their own.
#include "framework/ui.h"

static CWinApp theApp("SonoriaTests");
