// Feeds arbitrary bytes to the object-file reader as an object file, plain or scrambled, and
// then runs a few animation steps on whatever was read. The first byte chooses the mode: bit 0
// scrambled, bit 1 a key beyond a byte; the second byte is the key. Run-time errors are the
// expected outcome of bad input; anything else (a crash, a sanitizer report, a hang, an
// exception of another kind) is a fault.
#include <unistd.h>

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "engine/clsZemObject.h"
#include "engine/zemdx.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/textfile.h"
#include "platform/win32/headless/headless.h"

struct clsZemObjectInspector {
    static void AdvanceAnimation(clsZemObject& o) { o.AdvanceAnimation(); }
    static const ZemDx::ObjectData& Data(const clsZemObject& o) { return o.ObjData; }
};

namespace {

// A program folder of our own with its Data folder, in the program's path style.
const std::string& ProgramFolder() {
    static const std::string folder = [] {
        const char* base = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        const std::string dir = std::string(base) + "/qv-fuzz-object-" + std::to_string(getpid());
        std::filesystem::create_directories(dir + "/Data");
        std::string p = dir + "/";
        for (char& c : p)
            if (c == '/') c = '\\';
        return p;
    }();
    return folder;
}

std::string HostFolder() {
    std::string p = ProgramFolder();
    for (char& c : p)
        if (c == '\\') c = '/';
    return p;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 2) return 0;
    static const bool ready = [] {
        rt::headless::Use();  // a clock of our own for the animation steps
        ProgramFolder();      // made before the clean-up is registered, so it outlives it
        std::atexit([] { std::filesystem::remove_all(HostFolder()); });
        return true;
    }();
    (void)ready;

    const uint8_t mode = data[0];
    const rt::Long key = (mode & 2) ? 256 + data[1] : data[1];
    {
        FILE* f = std::fopen((HostFolder() + "Data/o.zemobj").c_str(), "wb");
        if (!f) std::abort();
        std::fwrite(data + 2, 1, size - 2, f);
        std::fclose(f);
    }
    ZemDx::AppPath = ProgramFolder();

    clsZemObject obj;
    try {
        obj.LoadObject("o.zemobj", (mode & 1) ? rt::True : rt::False, key);
    } catch (const rt::RuntimeError& e) {
        switch (e.Number()) {
        case rt::ErrInvalidCall: case rt::ErrOverflow: case rt::ErrSubscript: case rt::ErrInputPastEnd: break;
        default: std::abort();  // the file exists: nothing else may fail
        }
    }
    // The reader closes its file whatever happened.
    if (rt::FreeFile() != 1) std::abort();

    rt::headless::SetClock(static_cast<uint32_t>(size) * 37u);
    for (int i = 0; i < 4; ++i) {
        try {
            clsZemObjectInspector::AdvanceAnimation(obj);
        } catch (const rt::RuntimeError& e) {
            if (e.Number() != 6 && e.Number() != 9 && e.Number() != 11) std::abort();
        }
    }
    return 0;
}
