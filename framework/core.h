// The framework core types in one include: Windows base types, CString, collections,
// CObject and run-time class information, diagnostics, exceptions, times, files.
#pragma once

#include "framework/wintypes.h"
#include "framework/object.h"
#include "framework/strings.h"
#include "framework/collections.h"
#include "framework/exceptions.h"
#include "framework/datetime.h"
#include "framework/file.h"
