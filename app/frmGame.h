// The window "Quorvane -- Full Screen": part of the program's set of windows but without
// controls, picture or behaviour; nothing shows it, and the menu's Exit unloads it with the rest.
#pragma once
#include "platform/win32/form.h"

class frmGame : public rt::Form {
public:
    frmGame();
};
