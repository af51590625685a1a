#include "app/menu_flags.h"

#include "platform/win32/runtime.h"

namespace ModMain {

std::string ProgramFolderPath() {
    std::string folder = ProgramFolderOverride.empty() ? rt::App.Path() : ProgramFolderOverride;
    if (folder.empty() || folder.back() != '\\') folder += '\\';
    return folder;
}

}  // namespace ModMain
