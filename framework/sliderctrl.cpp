// Run-time class of the trackbar wrapper.
#include "framework/sliderctrl.h"

IMPLEMENT_DYNAMIC(CSliderCtrl, CWnd)
