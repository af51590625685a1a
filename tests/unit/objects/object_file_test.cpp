// Reading object files: what lands in the lists, skipped lines, scrambled files, the count
// rounding and the limits of the lists, and every error with what it leaves behind.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "engine/xor_string.h"
#include "objects_fixture.h"
#include "platform/d3d8/testswitch.h"

using objtest::ErrorOf;
using Inspector = clsZemObjectInspector;

namespace {

class ObjectFile : public objtest::EngineTest {
protected:
    const ZemDx::ObjectData& Data() const { return Inspector::Data(obj_); }
    clsZemObject obj_;
};

void ExpectVertex(const ZemDx::Vertex& v, float x, float y, float z, float tu, float tv, uint32_t color) {
    EXPECT_FLOAT_EQ(v.X, x);
    EXPECT_FLOAT_EQ(v.Y, y);
    EXPECT_FLOAT_EQ(v.Z, z);
    EXPECT_FLOAT_EQ(v.TU, tu);
    EXPECT_FLOAT_EQ(v.TV, tv);
    EXPECT_EQ(static_cast<uint32_t>(v.Color), color);
}

void ExpectSameData(const ZemDx::ObjectData& a, const ZemDx::ObjectData& b) {
    EXPECT_EQ(a.TextureList, b.TextureList);
    ASSERT_EQ(a.Groups.size(), b.Groups.size());
    for (size_t g = 0; g < a.Groups.size(); ++g) {
        ASSERT_EQ(a.Groups[g].Tris.size(), b.Groups[g].Tris.size());
        for (size_t j = 0; j < a.Groups[g].Tris.size(); ++j) {
            const ZemDx::Triangle &s = a.Groups[g].Tris[j], &t = b.Groups[g].Tris[j];
            EXPECT_EQ(0, std::memcmp(&s, &t, sizeof s)) << "group " << g << " triangle " << j;
        }
    }
    ASSERT_EQ(a.Animations.size(), b.Animations.size());
    for (size_t i = 0; i < a.Animations.size(); ++i) {
        EXPECT_EQ(a.Animations[i].Id, b.Animations[i].Id);
        EXPECT_EQ(a.Animations[i].EndMode, b.Animations[i].EndMode);
        ASSERT_EQ(a.Animations[i].Frames.size(), b.Animations[i].Frames.size());
        for (size_t k = 0; k < a.Animations[i].Frames.size(); ++k) {
            EXPECT_EQ(a.Animations[i].Frames[k].Key, b.Animations[i].Frames[k].Key);
            EXPECT_EQ(a.Animations[i].Frames[k].Time, b.Animations[i].Frames[k].Time);
        }
    }
}

// One texture line, one triangle, then the given animation line.
std::string WithAnimation(const std::string& animationLine) {
    return "1,1,1\r\nx.bmp,0\r\n1\r\n0,0,0,0,0,0,0\r\n1,0,0,0,0,0,0\r\n0,1,0,0,0,0,0\r\n" + animationLine + "\r\n";
}

}  // namespace

TEST_F(ObjectFile, CrateFileFillsEveryListAsWritten) {
    d3d8test::Record(true);
    obj_.LoadObject("objects\\crate.zemobj");

    // Texture lines: the inner run of spaces in a name shrinks to one; a blank before the comma
    // stays part of the name (so that file is not found); the same name again shares the slot.
    ASSERT_EQ(Data().TextureList.size(), 4u);
    const auto& tl = Data().TextureList;
    ASSERT_GE(tl[0], 0);
    ASSERT_GE(tl[1], 0);
    EXPECT_NE(tl[0], tl[1]);
    EXPECT_EQ(ZemDx::TextureNames[static_cast<size_t>(tl[0])].FileName, "objects\\crate.bmp");
    EXPECT_EQ(ZemDx::TextureNames[static_cast<size_t>(tl[1])].FileName, "objects\\crate two.bmp");
    EXPECT_EQ(tl[2], -1);
    EXPECT_EQ(tl[3], tl[0]);
    // The colour keys as written: the green half of crate.bmp is transparent.
    const auto keys = objtest::ArgsOf("CreateTextureFromFileEx", 8);
    EXPECT_EQ(keys, (std::vector<int64_t>{static_cast<int32_t>(0xFF00FF00u), 0, static_cast<int32_t>(0xFFFF00FFu)}));
    const auto& level = ZemDx::Textures[static_cast<size_t>(tl[0])]->Levels.at(0);
    EXPECT_EQ(level.Pixels.at(0), 0u);
    EXPECT_EQ(level.Pixels.at(3) >> 24, 0xFFu);

    // The lid: comments and an empty line between its vertex lines change nothing; a line led
    // by a tab is data; each vertex line writes the texture, so the third one's stays.
    ASSERT_EQ(Data().Groups.size(), 2u);
    ASSERT_EQ(Data().Groups[0].Tris.size(), 1u);
    const ZemDx::Triangle& lid = Data().Groups[0].Tris[0];
    ExpectVertex(lid.V[0], 0, 1, 0, 0, 0, 0xFFFFFFFFu);
    ExpectVertex(lid.V[1], 5, 1, 0, 1, 0, 0xFF808080u);
    ExpectVertex(lid.V[2], 0, 1, 5, 0, 1, 0xFFFFFFFFu);
    EXPECT_EQ(lid.Texture, 1);

    // The side: the words after the group's count are ignored.
    ASSERT_EQ(Data().Groups[1].Tris.size(), 2u);
    const ZemDx::Triangle& s0 = Data().Groups[1].Tris[0];
    const ZemDx::Triangle& s1 = Data().Groups[1].Tris[1];
    ExpectVertex(s0.V[2], 25, 0, 0, 1, 1, 0xFF0000FFu);
    EXPECT_EQ(s0.Texture, 0);
    ExpectVertex(s1.V[0], 5, 0, 0, 1, 1, 0x7F00FF00u);
    EXPECT_EQ(s1.Texture, 3);

    // Animations: the frame count is also frame 0's key; missing items read 0.
    ASSERT_EQ(Data().Animations.size(), 2u);
    const ZemDx::Animation& a0 = Data().Animations[0];
    EXPECT_EQ(a0.Id, 7);
    EXPECT_EQ(a0.EndMode, 1);
    ASSERT_EQ(a0.Frames.size(), 3u);
    EXPECT_EQ(a0.Frames[0].Key, 3);
    EXPECT_EQ(a0.Frames[0].Time, 0);
    EXPECT_EQ(a0.Frames[1].Key, 2);
    EXPECT_EQ(a0.Frames[1].Time, 40);
    EXPECT_EQ(a0.Frames[2].Key, 3);
    EXPECT_EQ(a0.Frames[2].Time, 80);
    const ZemDx::Animation& a1 = Data().Animations[1];
    EXPECT_EQ(a1.Id, 5);
    EXPECT_EQ(a1.EndMode, 0);
    ASSERT_EQ(a1.Frames.size(), 2u);
    EXPECT_EQ(a1.Frames[0].Key, 2);
    EXPECT_EQ(a1.Frames[1].Key, 0);
    EXPECT_EQ(a1.Frames[1].Time, 0);

    // The file is closed again.
    EXPECT_EQ(rt::FreeFile(), 1);
}

TEST_F(ObjectFile, SecondLoadReplacesTheListsAndKeepsPlacementAndAnimationState) {
    obj_.LoadObject("objects\\crate.zemobj");
    obj_.PosX(3.0f);
    Inspector::CurrentFrame(obj_) = 2;
    obj_.LoadObject("objects\\single.zemobj");
    EXPECT_EQ(Data().TextureList.size(), 1u);
    ASSERT_EQ(Data().Groups.size(), 1u);
    EXPECT_EQ(Data().Groups[0].Tris.size(), 1u);
    ASSERT_EQ(Data().Animations.size(), 1u);
    EXPECT_EQ(Data().Animations[0].Frames.size(), 1u);
    EXPECT_EQ(obj_.PosX(), 3.0f);
    EXPECT_EQ(Inspector::CurrentFrame(obj_), 2);
}

TEST_F(ObjectFile, ScrambledFilesReadLikeThePlainOne) {
    clsZemObject plain;
    plain.LoadObject("objects\\crate.zemobj");

    obj_.LoadObject("objects\\crate_key7.zemobj", rt::True);  // the default key
    ExpectSameData(Data(), Inspector::Data(plain));

    clsZemObject key200, anyNonZero, keyZero, keyIgnored;
    key200.LoadObject("objects\\crate_key200.zemobj", rt::True, 200);
    ExpectSameData(Inspector::Data(key200), Inspector::Data(plain));
    anyNonZero.LoadObject("objects\\crate_key7.zemobj", 1, 7);
    ExpectSameData(Inspector::Data(anyNonZero), Inspector::Data(plain));
    keyZero.LoadObject("objects\\crate.zemobj", rt::True, 0);
    ExpectSameData(Inspector::Data(keyZero), Inspector::Data(plain));
    keyIgnored.LoadObject("objects\\crate.zemobj", rt::False, 300);
    ExpectSameData(Inspector::Data(keyIgnored), Inspector::Data(plain));

    // The default key is a single digit.
    EXPECT_GE(clsZemObject::DefaultXorKey, 0);
    EXPECT_LE(clsZemObject::DefaultXorKey, 9);
}

TEST_F(ObjectFile, AKeyOutsideAByteFailsOnTheFirstCharacter) {
    EXPECT_EQ(ErrorOf([&] { obj_.LoadObject("objects\\crate_key7.zemobj", rt::True, 300); }), rt::ErrInvalidCall);
    EXPECT_EQ(ErrorOf([&] { obj_.LoadObject("objects\\crate_key7.zemobj", rt::True, -1); }), rt::ErrInvalidCall);
    EXPECT_TRUE(Data().TextureList.empty());
    EXPECT_EQ(rt::FreeFile(), 1);
}

TEST(XorString, ScramblesEachByteWithAllBitsOfTheKey) {
    std::string all;
    for (int c = 0; c < 256; ++c) all += static_cast<char>(c);
    const std::string once = ZemDx::XorString(all, 0xA5);
    ASSERT_EQ(once.size(), 256u);
    for (int c = 0; c < 256; ++c) EXPECT_EQ(static_cast<unsigned char>(once[static_cast<size_t>(c)]), c ^ 0xA5);
    EXPECT_EQ(ZemDx::XorString(once, 0xA5), all);
    EXPECT_EQ(ZemDx::XorString("", 0x7FFFFFFF), "");
    EXPECT_EQ(ZemDx::XorString("Ab", 0), "Ab");
    // High bits of the key take part: no code stays within a byte.
    EXPECT_EQ(ErrorOf([] { ZemDx::XorString("A", 0x10000); }), rt::ErrInvalidCall);
    EXPECT_EQ(ErrorOf([] { ZemDx::XorString("A", 256); }), rt::ErrInvalidCall);
    EXPECT_EQ(ErrorOf([] { ZemDx::XorString("A", -1); }), rt::ErrInvalidCall);
}

TEST_F(ObjectFile, FailuresOfTheFileReachTheCallerAndCloseIt) {
    struct Case {
        const char* file;
        int error;
    };
    const Case cases[] = {
        {"objects\\no such object.zemobj", rt::ErrFileNotFound},
        {"no such folder\\crate.zemobj", rt::ErrPathNotFound},
        {"objects\\fail_ends_in_vertices.zemobj", rt::ErrInputPastEnd},
        {"objects\\fail_no_animation.zemobj", 9},
        {"objects\\fail_no_frames.zemobj", 9},
        {"objects\\fail_id_overflow.zemobj", 6},
        {"objects\\fail_endmode_overflow.zemobj", 6},
        {"objects\\fail_colour_overflow.zemobj", 6},
    };
    for (const Case& c : cases) {
        clsZemObject o;
        EXPECT_EQ(ErrorOf([&] { o.LoadObject(c.file); }), c.error) << c.file;
        EXPECT_EQ(rt::FreeFile(), 1) << c.file << " left open";
    }
}

TEST_F(ObjectFile, AnErrorKeepsWhatWasReadBeforeIt) {
    EXPECT_EQ(ErrorOf([&] { obj_.LoadObject("objects\\fail_ends_in_vertices.zemobj"); }), rt::ErrInputPastEnd);
    ASSERT_EQ(Data().TextureList.size(), 1u);
    EXPECT_GE(Data().TextureList[0], 0);
    ASSERT_EQ(Data().Groups.size(), 1u);
    ASSERT_EQ(Data().Groups[0].Tris.size(), 1u);
    ExpectVertex(Data().Groups[0].Tris[0].V[0], 2, 3, 4, 0.5f, 0.25f, 0xFF112233u);
    EXPECT_EQ(Data().Groups[0].Tris[0].Texture, 6);
    ASSERT_EQ(Data().Animations.size(), 1u);

    // A colour out of range stops the second vertex line after its position.
    clsZemObject colour;
    EXPECT_EQ(ErrorOf([&] { colour.LoadObject("objects\\fail_colour_overflow.zemobj"); }), rt::ErrOverflow);
    const ZemDx::Triangle& t = Inspector::Data(colour).Groups.at(0).Tris.at(0);
    EXPECT_FLOAT_EQ(t.V[1].X, 1.0f);
    EXPECT_EQ(t.V[1].Color, 0);

    // An end mode out of range comes after the frames.
    clsZemObject endMode;
    EXPECT_EQ(ErrorOf([&] { endMode.LoadObject("objects\\fail_endmode_overflow.zemobj"); }), rt::ErrOverflow);
    const ZemDx::Animation& a = Inspector::Data(endMode).Animations.at(0);
    ASSERT_EQ(a.Frames.size(), 1u);
    EXPECT_EQ(a.Frames[0].Key, 1);
    EXPECT_EQ(a.EndMode, 0);
}

TEST_F(ObjectFile, ACountBelowOneFailsBeforeTheNextList) {
    // Third count 0: the first two lists are made anew, no texture line is read, and the
    // earlier animations stay.
    obj_.LoadObject("objects\\crate.zemobj");
    d3d8test::Record(true);
    EXPECT_EQ(ErrorOf([&] { obj_.LoadObject("objects\\fail_no_animation.zemobj"); }), rt::ErrSubscript);
    EXPECT_EQ(Data().TextureList, std::vector<rt::Long>{0});
    ASSERT_EQ(Data().Groups.size(), 1u);
    EXPECT_TRUE(Data().Groups[0].Tris.empty());
    EXPECT_EQ(Data().Animations.size(), 2u);
    EXPECT_EQ(d3d8test::CallCount("CreateTextureFromFileEx"), 0);

    // A missing or negative count is as good as 0.
    for (const char* header : {"1,1", "1,-3,1", ",1,1", "0.4,1,1"}) {
        clsZemObject o;
        EXPECT_EQ(ErrorOf([&] { o.LoadObject(WriteDataFile("h.zemobj", std::string(header) + "\r\n")); }),
                  rt::ErrSubscript)
            << header;
    }
}

TEST_F(ObjectFile, CountsAreRoundedHalfToEven) {
    // 2.5 - 1 = 1.5 rounds to 2 (three entries); 1.5 - 1 rounds to 0; 0.5 - 1 = -0.5 rounds
    // to 0 (one entry). The file ends after the header.
    EXPECT_EQ(ErrorOf([&] { obj_.LoadObject(WriteDataFile("r.zemobj", "2.5,1.5,0.5\r\n")); }), rt::ErrInputPastEnd);
    EXPECT_EQ(Data().TextureList.size(), 3u);
    EXPECT_EQ(Data().Groups.size(), 1u);
    EXPECT_EQ(Data().Animations.size(), 1u);

    // A group line of 2, a comma and 5, and one of 2, a blank and a word: two triangles each.
    std::string vertexLines;
    for (int i = 0; i < 6; ++i) vertexLines += "0,0,0,0,0,0,0\r\n";
    clsZemObject g;
    g.LoadObject(WriteDataFile("g.zemobj", "1,2,1\r\nx.bmp,0\r\n2,5\r\n" + vertexLines + "2 triangles\r\n" +
                                               vertexLines + "1,1,0\r\n"));
    ASSERT_EQ(Inspector::Data(g).Groups.size(), 2u);
    EXPECT_EQ(Inspector::Data(g).Groups[0].Tris.size(), 2u);
    EXPECT_EQ(Inspector::Data(g).Groups[1].Tris.size(), 2u);
}

TEST_F(ObjectFile, NumbersOutsideTheirTypeOverflow) {
    const std::pair<std::string, std::string> cases[] = {
        {"count beyond 32 bits", "1e10,1,1\r\n"},
        {"texture key beyond 32 bits", "1,1,1\r\nx.bmp,4294967296\r\n"},
        {"coordinate beyond a float", "1,1,1\r\nx.bmp,0\r\n1\r\n1e39,0,0,0,0,0,0\r\n"},
        {"frame key beyond 16 bits", WithAnimation("1,2:0:32768:0,1")},
        {"frame time beyond 16 bits", WithAnimation("1,1:-32769,1")},
        {"frame count beyond 16 bits", WithAnimation("1,32769,1")},
        {"negative end mode", WithAnimation("1,1:0,-1")},
    };
    for (const auto& [what, text] : cases) {
        clsZemObject o;
        EXPECT_EQ(ErrorOf([&] { o.LoadObject(WriteDataFile("o.zemobj", text)); }), rt::ErrOverflow) << what;
    }
    // The largest values of each type are fine; an end mode of 255.4 rounds into a byte.
    obj_.LoadObject(WriteDataFile("max.zemobj", "1,1,1\r\nx.bmp,&HFFFFFFFF\r\n1\r\n0,0,0,0,0,2147483647,-2147483648\r\n"
                                                "0,0,0,0,0,0,0\r\n0,0,0,0,0,0,0\r\n-32768,2:32767:32767:-32768,255.4\r\n"));
    EXPECT_EQ(Data().Groups[0].Tris[0].V[0].Color, 2147483647);
    EXPECT_EQ(Data().Animations[0].Id, -32768);
    EXPECT_EQ(Data().Animations[0].Frames[0].Time, 32767);
    EXPECT_EQ(Data().Animations[0].Frames[1].Key, 32767);
    EXPECT_EQ(Data().Animations[0].Frames[1].Time, -32768);
    EXPECT_EQ(Data().Animations[0].EndMode, 255);
}

TEST_F(ObjectFile, ListsLongerThanTheLoopCounterOverflowBeforeReadingThem) {
    // 40000 texture lines: the lists are made and the texture loop overflows before the first
    // line (the file has none, which would otherwise be error 62).
    EXPECT_EQ(ErrorOf([&] { obj_.LoadObject(WriteDataFile("t.zemobj", "40000,1,1\r\n")); }), rt::ErrOverflow);
    EXPECT_EQ(Data().Groups.size(), 1u);
    EXPECT_EQ(Data().Animations.size(), 1u);
    // 40000 triangles in a group: the texture line is read first.
    clsZemObject g;
    EXPECT_EQ(ErrorOf([&] { g.LoadObject(WriteDataFile("g.zemobj", "1,1,1\r\nx.bmp,0\r\n40000\r\n")); }),
              rt::ErrOverflow);
    EXPECT_EQ(Inspector::Data(g).TextureList, std::vector<rt::Long>{-1});
    // 32768 triangles: all of them are read, then the counter's step past 32767 overflows.
    std::string text = "1,1,1\r\nx.bmp,0\r\n32768\r\n";
    for (int j = 0; j < 32768; ++j) text += "1,0,0,0,0,0,0\r\n0,1,0,0,0,0,0\r\n0,0,1,0,0,0," + std::to_string(j) + "\r\n";
    clsZemObject full;
    EXPECT_EQ(ErrorOf([&] { full.LoadObject(WriteDataFile("full.zemobj", text + "1,1:0,1\r\n")); }), rt::ErrOverflow);
    const auto& tris = Inspector::Data(full).Groups.at(0).Tris;
    ASSERT_EQ(tris.size(), 32768u);
    EXPECT_EQ(tris[32767].Texture, 32767);
    EXPECT_TRUE(Inspector::Data(full).Animations.at(0).Frames.empty());
}

TEST_F(ObjectFile, AnAnimationHoldsAtMost16383Frames) {
    auto frames = [](int count) {
        std::string list = std::to_string(count);
        for (int n = 2; n <= 2 * count; ++n) list += ":" + std::to_string(n % 1000);  // item n holds n % 1000
        return list;
    };
    obj_.LoadObject(WriteDataFile("a.zemobj", WithAnimation("1," + frames(16383) + ",1")));
    const ZemDx::Animation& a = Data().Animations.at(0);
    ASSERT_EQ(a.Frames.size(), 16383u);
    EXPECT_EQ(a.Frames[16382].Key, 32765 % 1000);
    EXPECT_EQ(a.Frames[16382].Time, 32766 % 1000);
    EXPECT_EQ(a.EndMode, 1);

    // Frame 16383's time would be item 32768: its key is read, then the item number overflows.
    clsZemObject b;
    EXPECT_EQ(ErrorOf([&] { b.LoadObject(WriteDataFile("b.zemobj", WithAnimation("1," + frames(16384) + ",1"))); }),
              6);
    const ZemDx::Animation& f = Inspector::Data(b).Animations.at(0);
    ASSERT_EQ(f.Frames.size(), 16384u);
    EXPECT_EQ(f.Frames[16383].Key, 32767 % 1000);
    EXPECT_EQ(f.Frames[16383].Time, 0);
}

TEST_F(ObjectFile, LineBreaksAndTheEndOfTheFile) {
    // A lone CR ends a line like CR LF; the last line needs no break.
    obj_.LoadObject(WriteDataFile("cr.zemobj", "1,1,1\rx.bmp,0\r1\r0,0,0,0,0,0,0\r1,0,0,0,0,0,0\r\n0,1,0,0,0,0,7\r5,1:9"));
    EXPECT_EQ(Data().Groups[0].Tris[0].Texture, 7);
    EXPECT_EQ(Data().Animations[0].Frames[0].Key, 1);
    EXPECT_EQ(Data().Animations[0].EndMode, 0);
    // A file of comments and blanks only ends before its header.
    clsZemObject empty;
    EXPECT_EQ(ErrorOf([&] { empty.LoadObject(WriteDataFile("e.zemobj", "# nothing\r\n\r\n   \r\n")); }),
              rt::ErrInputPastEnd);
    EXPECT_EQ(ErrorOf([&] { empty.LoadObject(WriteDataFile("z.zemobj", "")); }), rt::ErrInputPastEnd);
}

TEST_F(ObjectFile, TextHelpersAndDrawing) {
    // The object's own helpers behave as the readers need.
    EXPECT_EQ(obj_.TrimExtraSpace("  a  b   c  "), "a b c");
    EXPECT_EQ(obj_.TrimExtraSpace("\t1,2\t"), "\t1,2\t");
    EXPECT_EQ(obj_.Field("10,12,3,4", ",", 4), "4");
    EXPECT_EQ(obj_.Field("1 , 2", ",", 2), " 2");
    EXPECT_EQ(obj_.Field("1,2", ",,", 1), "");

    // Drawing an object does nothing at all.
    obj_.LoadObject("objects\\crate.zemobj");
    d3d8test::Record(true);
    obj_.DrawObject();
    EXPECT_TRUE(d3d8test::Calls().empty());
}
