// Feeds arbitrary bytes to the world map reader (as a file) and to the text helpers and the
// number rule. Run-time errors are the expected outcome of bad input; anything else (a crash, a
// sanitizer report, a hang, an exception of another kind) is a fault.
#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>
#include <unistd.h>

#include "app/world_map.h"
#include "engine/text_fields.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/number.h"

namespace {

const std::string& ScratchFile() {
    static const std::string path = [] {
        const char* dir = access("/dev/shm", W_OK) == 0 ? "/dev/shm" : "/tmp";
        return std::string(dir) + "/qv-fuzz-map-" + std::to_string(getpid()) + ".map";
    }();
    return path;
}

void CheckHelpers(std::string_view text) {
    try {
        rt::Val(text);
    } catch (const rt::RuntimeError& e) {
        if (e.Number() != rt::ErrOverflow) std::abort();
    }
    std::string trimmed = ZemText::TrimExtraSpace(std::string(text));
    if (trimmed.find("  ") != std::string::npos) std::abort();
    if (!trimmed.empty() && (trimmed.front() == ' ' || trimmed.back() == ' ')) std::abort();
    // The one-pass split and Field agree on the first fields.
    auto fields = ZemText::SplitFields(trimmed, ',');
    for (size_t k = 0; k < fields.size() && k < 8; ++k)
        if (ZemText::Field(trimmed, ",", static_cast<rt::Integer>(k + 1)) != fields[k]) std::abort();
    if (ZemText::Field(trimmed, ",", static_cast<rt::Integer>(fields.size() + 1)) != "") std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::string_view text(reinterpret_cast<const char*>(data), size);
    CheckHelpers(text.substr(0, 4096));

    FILE* f = std::fopen(ScratchFile().c_str(), "wb");
    if (!f) return 0;
    std::fwrite(data, 1, size, f);
    std::fclose(f);
    try {
        ModMain::LoadMap(ScratchFile());
        // A read that succeeded has a grid of the header's size with row 0 and column 0 empty.
        const rt::Long rows = ModMain::Map.UBound(1), cols = ModMain::Map.UBound(2);
        // Exactly rows + 1 lines were read, and every line but the last ends at a CR.
        if (static_cast<uint64_t>(rows) > static_cast<uint64_t>(std::count(text.begin(), text.end(), '\r')))
            std::abort();
        for (rt::Long c = 0; c <= cols && c < 64; ++c)
            if (ModMain::Map(0, c) != 0) std::abort();
        for (rt::Long r = 0; r <= rows && r < 64; ++r)
            if (ModMain::Map(r, 0) != 0) std::abort();
    } catch (const rt::RuntimeError&) {
    }
    unlink(ScratchFile().c_str());
    ModMain::Map.Erase();  // each input starts from an empty grid
    return 0;
}
