#pragma once
// The one way this program includes the Windows headers: ANSI entry points,
// strict handle types, no min/max macros.

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef STRICT
#define STRICT
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#undef UNICODE
#undef _UNICODE

#include <windows.h>
#include <commctrl.h>
#include <shellapi.h>
