// The framework core types in one include: Windows base types, CString, collections,
// CObject and run-time class information, diagnostics, exceptions, times, files, archives,
// points and rectangles, Base64.
#pragma once

#include "framework/archive.h"
#include "framework/base64.h"
#include "framework/collections.h"
#include "framework/datetime.h"
#include "framework/exceptions.h"
#include "framework/file.h"
#include "framework/geometry.h"
#include "framework/object.h"
#include "framework/strings.h"
#include "framework/wintypes.h"
