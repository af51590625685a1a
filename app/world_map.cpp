#include "world_map.h"

#include <string_view>
#include <vector>

#include "engine/text_fields.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/number.h"
#include "platform/runtime/textfile.h"

namespace ModMain {

namespace {

// Field k (from 1) of an already split line; a missing field is "".
std::string_view FieldOf(const std::vector<std::string_view>& fields, rt::Long k) {
    return k >= 1 && static_cast<size_t>(k) <= fields.size() ? fields[static_cast<size_t>(k) - 1]
                                                               : std::string_view();
}

}  // namespace

void LoadMap(const std::string& FileName) {
    const int file = rt::FreeFile();
    rt::OpenForInput(file, FileName);
    rt::FileCloser closer(file);

    // Header. Each line is split once; its fields are what Field(line, ",", k) gives.
    std::string line = ZemText::TrimExtraSpace(rt::LineInput(file));
    std::vector<std::string_view> fields = ZemText::SplitFields(line, ',');
    const rt::Long rows = rt::CLng(rt::Val(FieldOf(fields, 1)));
    const rt::Long cols = rt::CLng(rt::Val(FieldOf(fields, 2)));
    Map.ReDim(rows, cols);
    FloorTexture = rt::CInt(rt::Val(FieldOf(fields, 3)));
    CeilingTexture = rt::CInt(rt::Val(FieldOf(fields, 4)));

    // Rows 1..rows, each with cells 1..cols; the counters and their bounds are 16-bit.
    rt::ForInteger(1, Map.UBound(1), [&](rt::Integer r) {
        line = ZemText::TrimExtraSpace(rt::LineInput(file));
        fields = ZemText::SplitFields(line, ',');
        rt::ForInteger(1, Map.UBound(2),
                       [&](rt::Integer c) { Map(r, c) = rt::CInt(rt::Val(FieldOf(fields, c))); });
    });
}

}  // namespace ModMain
