#include "app/menu_flags.h"

namespace ModMain {

rt::Boolean WorldSelected = rt::False;
rt::Boolean WindowedMode = rt::False;

}  // namespace ModMain
