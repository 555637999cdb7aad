// Definitions of the runtime's interface identifiers, which no import library provides.
#include <initguid.h>

#include <windows.h>
#include <wmsdkidl.h>
