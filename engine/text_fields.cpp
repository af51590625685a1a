#include "text_fields.h"

namespace ZemText {

std::string TrimExtraSpace(std::string valu) {
    std::string::size_type first = valu.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    std::string::size_type last = valu.find_last_not_of(' ');
    std::string out;
    out.reserve(last - first + 1);
    bool pending = false;
    for (std::string::size_type i = first; i <= last; ++i) {
        char c = valu[i];
        if (c == ' ') {
            pending = true;
            continue;
        }
        if (pending) {
            out += ' ';
            pending = false;
        }
        out += c;
    }
    return out;
}

std::string Field(std::string_view strg, std::string_view sep, rt::Integer cnt) {
    if (sep.size() != 1 || cnt < 1) return {};
    const char s = sep[0];
    size_t start = 0;
    // Skip cnt - 1 separators; field cnt starts behind the last of them.
    for (rt::Integer k = 1; k < cnt; ++k) {
        size_t next = strg.find(s, start);
        if (next == std::string_view::npos) return {};
        start = next + 1;
    }
    size_t end = strg.find(s, start);
    if (end == std::string_view::npos) end = strg.size();
    return std::string(strg.substr(start, end - start));
}

std::vector<std::string_view> SplitFields(std::string_view strg, char sep) {
    std::vector<std::string_view> fields;
    size_t start = 0;
    for (;;) {
        size_t end = strg.find(sep, start);
        if (end == std::string_view::npos) {
            fields.push_back(strg.substr(start));
            return fields;
        }
        fields.push_back(strg.substr(start, end - start));
        start = end + 1;
    }
}

}  // namespace ZemText
