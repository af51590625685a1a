#include "text_helpers.h"

#include "engine/text_fields.h"

namespace ModMain {

std::string TrimExtraSpace(std::string valu) { return ZemText::TrimExtraSpace(std::move(valu)); }

std::string Field(std::string_view strg, std::string_view sep, rt::Integer cnt) {
    return ZemText::Field(strg, sep, cnt);
}

}  // namespace ModMain
