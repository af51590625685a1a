#include "world_map.h"

#include <algorithm>
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

// Cells 1..cols of row r from the row's fields, as the 16-bit counted loop over the columns
// stores them: a column bound above 32767 overflows as the row starts, a cell beyond the 16-bit
// range overflows at that cell, and a bound of 32767 overflows after the row's last cell, when the
// counter steps past it. A cell beyond the line's last field reads 0, and so does an empty field,
// and the fresh grid holds 0 already: only the line's own fields are looked at and only cells
// other than 0 are written, so a row costs what its line holds, not the grid's width, and the
// pages of a wide grid of short lines are never touched.
void ReadRow(rt::Integer r, const std::vector<std::string_view>& fields) {
    const rt::Integer last = rt::CInt(Map.UBound(2));
    const size_t given = std::min(static_cast<size_t>(last), fields.size());
    for (size_t c = 1; c <= given; ++c)
        if (const rt::Integer code = rt::CInt(rt::Val(fields[c - 1])); code != 0) Map(r, static_cast<rt::Long>(c)) = code;
    if (last >= 1) rt::AddInt(last, 1);  // the counter's step past the last column
}

// Reads the header and the rows from open file `file`, keeping the number of the line being
// read or taken apart in `lineNumber`.
void ReadWorld(int file, int32_t& lineNumber) {
    // Header. Each line is split once; its fields are what Field(line, ",", k) gives.
    lineNumber = 1;
    std::string line = ZemText::TrimExtraSpace(rt::LineInput(file));
    std::vector<std::string_view> fields = ZemText::SplitFields(line, ',');
    const rt::Long rows = rt::CLng(rt::Val(FieldOf(fields, 1)));
    const rt::Long cols = rt::CLng(rt::Val(FieldOf(fields, 2)));
    // The fresh grid's pages stay untouched until a cell is written (see Array2D::ReDim).
    Map.ReDim(rows, cols);
    FloorTexture = rt::CInt(rt::Val(FieldOf(fields, 3)));
    CeilingTexture = rt::CInt(rt::Val(FieldOf(fields, 4)));

    // Rows 1..rows, each with cells 1..cols; the counters and their bounds are 16-bit.
    rt::ForInteger(1, Map.UBound(1), [&](rt::Integer r) {
        lineNumber = r + 1;
        line = ZemText::TrimExtraSpace(rt::LineInput(file));
        fields = ZemText::SplitFields(line, ',');
        ReadRow(r, fields);
    });
}

}  // namespace

void LoadMap(const std::string& FileName) {
    int32_t lineNumber = 0;     // the line being read or taken apart, for the error's detail
    bool loneLineFeed = false;  // a line read held an LF without a CR before it
    try {
        const int file = rt::FreeFile();
        rt::OpenForInput(file, FileName);
        rt::FileCloser closer(file);
        try {
            ReadWorld(file, lineNumber);
        } catch (const rt::RuntimeError&) {
            loneLineFeed = rt::SawLoneLineFeed(file);
            throw;
        }
    } catch (rt::RuntimeError& e) {
        // The file, and the line when nothing more precise is known. A file written with LF line
        // ends reads as one long line, and fails for that: say so, and how to mend it.
        const std::string file = rt::HostPath(FileName);
        std::string context = e.Detail().empty() && lineNumber > 0 ? file + ", line " + std::to_string(lineNumber)
                                                                    : file;
        if (loneLineFeed)
            context += " (its lines end in LF, but world files need CR LF: convert it with unix2dos or "
                       "sed -i 's/$/\\r/')";
        e.AddContext(context);
        throw;
    }
}

}  // namespace ModMain
