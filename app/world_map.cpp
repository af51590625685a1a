#include "world_map.h"

#include <string_view>
#include <vector>

#include "engine/text_fields.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/number.h"
#include "platform/runtime/paths.h"
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
    int32_t lineNumber = 0;  // the line being read or taken apart, for the error's detail
    try {
        const int file = rt::FreeFile();
        rt::OpenForInput(file, FileName);
        rt::FileCloser closer(file);

        // Header. Each line is split once; its fields are what Field(line, ",", k) gives.
        lineNumber = 1;
        std::string line = ZemText::TrimExtraSpace(rt::LineInput(file));
        std::vector<std::string_view> fields = ZemText::SplitFields(line, ',');
        const rt::Long rows = rt::CLng(rt::Val(FieldOf(fields, 1)));
        const rt::Long cols = rt::CLng(rt::Val(FieldOf(fields, 2)));
        // Every cell takes at least one character of the file: a grid the file cannot fill fails
        // here, before it is made and filled with empty cells.
        Map.CheckBounds(rows, cols);
        if (static_cast<unsigned long long>(rows) * static_cast<unsigned long long>(cols) > rt::LOF(file))
            rt::RaiseAbout(rt::ErrInputPastEnd, std::to_string(rows) + " x " + std::to_string(cols) +
                                                    " cells cannot be read from " +
                                                    std::to_string(rt::LOF(file)) + " bytes");
        Map.ReDim(rows, cols);
        FloorTexture = rt::CInt(rt::Val(FieldOf(fields, 3)));
        CeilingTexture = rt::CInt(rt::Val(FieldOf(fields, 4)));

        // Rows 1..rows, each with cells 1..cols; the counters and their bounds are 16-bit.
        rt::ForInteger(1, Map.UBound(1), [&](rt::Integer r) {
            lineNumber = r + 1;
            line = ZemText::TrimExtraSpace(rt::LineInput(file));
            fields = ZemText::SplitFields(line, ',');
            rt::ForInteger(1, Map.UBound(2),
                           [&](rt::Integer c) { Map(r, c) = rt::CInt(rt::Val(FieldOf(fields, c))); });
        });
    } catch (rt::RuntimeError& e) {
        // The file, and the line when nothing more precise is known.
        const std::string file = rt::HostPath(FileName);
        e.AddContext(e.Detail().empty() && lineNumber > 0 ? file + ", line " + std::to_string(lineNumber) : file);
        throw;
    }
}

}  // namespace ModMain
