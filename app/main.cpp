// The program's entry: the main menu is the first window; the run time's event loop then runs
// until the last window has gone (or a handler ends the program).
#include "app/frmMenu.h"
#include "platform/win32/form.h"
#include "platform/win32/runtime.h"

int main() {
    return rt::RunProgram([] { rt::FormOf<frmMenu>().Show(); });
}
