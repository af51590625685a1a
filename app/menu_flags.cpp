#include "app/menu_flags.h"

#include "platform/win32/runtime.h"

namespace ModMain {

rt::Boolean WorldSelected = rt::False;
rt::Boolean WindowedMode = rt::False;
std::string ProgramFolderOverride;

std::string ProgramFolderPath() {
    std::string folder = ProgramFolderOverride.empty() ? rt::App.Path() : ProgramFolderOverride;
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    return folder;
}

}  // namespace ModMain
