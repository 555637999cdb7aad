// Umbrella of the framework's window layer.
#pragma once

#include "framework/app.h"
#include "framework/cmd_target.h"
#include "framework/control_bar.h"
#include "framework/cmd_ui.h"
#include "framework/controls.h"
#include "framework/dock_context.h"
#include "framework/dialog.h"
#include "framework/document.h"
#include "framework/frame.h"
#include "framework/framework_ids.h"
#include "framework/gdi.h"
#include "framework/listctrl.h"
#include "framework/mini_frame.h"
#include "framework/ole.h"
#include "framework/wnd.h"
#include "framework/view.h"
