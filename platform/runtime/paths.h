// The program folder and the mapping of the program's paths to host paths.
//
// The program writes its paths the way its documents do, with backslashes ("Data\Textures\1.bmp")
// and names in any case. The program folder is handed out in that same style: the host folder
// with every '/' turned into '\' ("/opt/quorvane" becomes "\opt\quorvane"), so that
// ProgramFolder() & "\Data\..." maps back to the host file through HostPath.
#pragma once
#include <string>

namespace rt {

// The folder of the running executable in the program's style, without a trailing separator
// (the root folder is "\").
std::string ProgramFolder();

// The host path for a path of the program: '\' and '/' both separate names, repeated separators
// collapse into one, and each name that does not exist exactly as written is looked up
// case-insensitively (ASCII) in its folder; when several names match, the first in byte order is
// taken. Names that cannot be found are kept as written. "." and ".." pass unchanged. Every file
// the program opens goes through here.
std::string HostPath(const std::string& path);

}  // namespace rt
