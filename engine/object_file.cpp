// The object file reader. An object file is a text file of lines:
//
//   header          T, G, A            number of texture lines, groups and animation lines
//   texture line    file, colour key   T of them; the file relative to the Data folder
//   group line      n                  one per group: its triangle count (the whole line is read
//                                      as one number)
//   vertex line     X, Y, Z, TU, TV, Color, Texture
//                                      three per triangle, right after the group line
//   animation line  Id, list, EndMode  A of them; list = count:key0:time0:key1:time1...
//                                      (the count doubles as the first frame's key)
//
// Lines that are empty, begin with "#" or begin with a space are skipped anywhere. Every data
// line has its spaces normalised (TrimExtraSpace) and is split on commas; numbers follow the
// program's number rule. A scrambled file has each line passed through XorString with the key.
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "engine/clsZemObject.h"
#include "engine/text_fields.h"
#include "engine/xor_string.h"
#include "engine/zemdx.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/number.h"
#include "platform/runtime/textfile.h"

namespace {

constexpr int64_t kIntegerMax = 32767;

// Makes `list` anew with entries 0 to `last`; a last index below 0 raises ErrSubscript and leaves
// the list as it was. A list longer than its loop can walk is left empty: its loop raises
// ErrOverflow before reading anything into it, and the entries are not worth allocating.
template <class T>
void MakeList(std::vector<T>& list, int64_t last) {
    if (last < 0) rt::Raise(rt::ErrSubscript);
    list.assign(last > kIntegerMax ? 0 : static_cast<size_t>(last + 1), T{});
}

// A field as a number of the given kind (the number rule: value first, then the conversion).
rt::Long WholeLong(std::string_view field) { return rt::CLng(rt::Val(field)); }
rt::Integer WholeInteger(std::string_view field) { return rt::CInt(rt::Val(field)); }
float Float(std::string_view field) { return rt::CSng(rt::Val(field)); }

class DataLines {
public:
    DataLines(int fileNumber, bool scrambled, rt::Long key) : file_(fileNumber), scrambled_(scrambled), key_(key) {}

    // The next line that carries data, unscrambled and with its spaces normalised. Past the end
    // of the file this raises ErrInputPastEnd.
    std::string Next() {
        for (;;) {
            std::string line = rt::LineInput(file_);
            if (scrambled_) line = ZemDx::XorString(line, key_);
            // Skipped: empty, a comment, or a first character that is a space.
            if (line.empty() || line[0] == ' ' || line[0] == '#') continue;
            return ZemText::TrimExtraSpace(std::move(line));
        }
    }

private:
    int file_;
    bool scrambled_;
    rt::Long key_;
};

std::string FieldOf(const std::string& line, rt::Integer n) { return ZemText::Field(line, ",", n); }

}  // namespace

void clsZemObject::LoadObject(const std::string& FileName, const rt::Boolean& XorEncrypted, const rt::Long& XorKey) {
    const int fileNumber = rt::FreeFile();
    rt::OpenForInput(fileNumber, ZemDx::AppPath + "Data\\" + FileName);
    rt::FileCloser closer(fileNumber);
    DataLines lines(fileNumber, XorEncrypted != 0, XorKey);

    // Header: the three lists, in this order, each with round(count - 1) as its last index.
    std::string line = lines.Next();
    const rt::Long lastTexture = rt::CLng(rt::Val(FieldOf(line, 1)) - 1);
    MakeList(ObjData.TextureList, lastTexture);
    const rt::Long lastGroup = rt::CLng(rt::Val(FieldOf(line, 2)) - 1);
    MakeList(ObjData.Groups, lastGroup);
    const rt::Long lastAnimation = rt::CLng(rt::Val(FieldOf(line, 3)) - 1);
    MakeList(ObjData.Animations, lastAnimation);

    // Every list is walked with a 16-bit counter from 0: a last index beyond 32767 overflows
    // before the first pass, and one of exactly 32767 on the step after the last pass.
    rt::ForInteger(0, lastTexture, [&](rt::Integer i) {
        line = lines.Next();
        const std::string file = FieldOf(line, 1);
        const rt::Long colorKey = WholeLong(FieldOf(line, 2));
        ObjData.TextureList[static_cast<size_t>(i)] = ZemDx::LoadTexture(file, colorKey, rt::False);
    });

    rt::ForInteger(0, lastGroup, [&](rt::Integer g) {
        line = lines.Next();
        std::vector<ZemDx::Triangle>& tris = ObjData.Groups[static_cast<size_t>(g)].Tris;
        const rt::Long lastTriangle = rt::CLng(rt::Val(line) - 1);
        MakeList(tris, lastTriangle);
        rt::ForInteger(0, lastTriangle, [&](rt::Integer j) {
            ZemDx::Triangle& tri = tris[static_cast<size_t>(j)];
            // In the file TU and TV come before the colour. Every vertex line writes the
            // triangle's texture, so the third one's stays.
            for (ZemDx::Vertex& v : tri.V) {
                line = lines.Next();
                v.X = Float(FieldOf(line, 1));
                v.Y = Float(FieldOf(line, 2));
                v.Z = Float(FieldOf(line, 3));
                v.TU = Float(FieldOf(line, 4));
                v.TV = Float(FieldOf(line, 5));
                v.Color = WholeLong(FieldOf(line, 6));
                tri.Texture = WholeLong(FieldOf(line, 7));
            }
        });
    });

    rt::ForInteger(0, lastAnimation, [&](rt::Integer a) {
        line = lines.Next();
        ZemDx::Animation& anim = ObjData.Animations[static_cast<size_t>(a)];
        anim.Id = WholeInteger(FieldOf(line, 1));
        const std::string list = FieldOf(line, 2);
        // ":" ends the number, so the count is the list's first item.
        const rt::Long lastFrame = rt::CInt(rt::Val(list) - 1);
        MakeList(anim.Frames, lastFrame);
        const std::vector<std::string_view> items = ZemText::SplitFields(list, ':');
        auto item = [&](rt::Integer n) -> std::string_view {
            return n >= 1 && static_cast<size_t>(n) <= items.size() ? items[static_cast<size_t>(n) - 1]
                                                                    : std::string_view{};
        };
        rt::ForInteger(0, lastFrame, [&](rt::Integer k) {
            ZemDx::AnimFrame& frame = anim.Frames[static_cast<size_t>(k)];
            // Item numbers are 16-bit: frame 16383 has no item number for its time.
            frame.Key = WholeInteger(item(rt::AddInt(rt::MulInt(2, k), 1)));
            frame.Time = WholeInteger(item(rt::AddInt(rt::MulInt(2, k), 2)));
        });
        anim.EndMode = rt::CByte(rt::Val(FieldOf(line, 3)));
    });
}
