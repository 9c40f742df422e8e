#pragma once
// The GDI+ headers, after what they build on: windows.h, and objidl.h, which WIN32_LEAN_AND_MEAN
// leaves out.
// clang-format off
#include <windows.h>
#include <objidl.h>
#include <gdiplus.h>
// clang-format on
