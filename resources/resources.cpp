#include "resources/resources.h"

#include <cstddef>

namespace {

struct Entry {
    std::string_view name;
    const unsigned char* begin;
    const unsigned char* end;
};

}  // namespace

// Start and end symbols of every embedded file, written by the build (resources_index.inc).
#define QV_RESOURCE(file, sym)                     \
    extern "C" const unsigned char sym##_begin[];  \
    extern "C" const unsigned char sym##_end[];
#include "resources_index.inc"
#undef QV_RESOURCE

namespace {

const Entry kEntries[] = {
#define QV_RESOURCE(file, sym) {file, sym##_begin, sym##_end},
#include "resources_index.inc"
#undef QV_RESOURCE
    {"", nullptr, nullptr},
};

bool SameName(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        auto lower = [](char c) { return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c; };
        if (lower(a[i]) != lower(b[i])) return false;
    }
    return true;
}

}  // namespace

std::span<const unsigned char> GetResource(std::string_view name) {
    if (name.empty()) return {};
    for (const Entry& e : kEntries) {
        if (e.begin != nullptr && SameName(e.name, name))
            return {e.begin, static_cast<std::size_t>(e.end - e.begin)};
    }
    return {};
}
