// Everything the program uses of the window platform in one include.
#pragma once
#include "platform/win32/controls.h"
#include "platform/win32/form.h"
#include "platform/win32/keys.h"
#include "platform/win32/messages.h"
#include "platform/win32/regions.h"
#include "platform/win32/runtime.h"
#include "platform/win32/system.h"
