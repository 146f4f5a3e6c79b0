// The one seam between the system and the automation platform.
//
// On Windows the system compiles against the operating system's own headers;
// elsewhere it compiles against our implementation of the same names and
// binary shapes (platform/posix). Nothing else in src/ includes an OS header.
#pragma once

#ifdef _WIN32
#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <ole2.h>
#include <oleauto.h>
#include <olectl.h>
#else
#include "platform/posix/AutomationTypes.h"
#include "platform/posix/Registry.h"
#include "platform/posix/Graphics.h"
#endif
