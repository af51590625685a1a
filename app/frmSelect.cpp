#include "app/frmSelect.h"

#include <cstring>
#include <vector>

#include "app/menu_flags.h"
#include "platform/runtime/errors.h"
#include "platform/win32/runtime.h"
#include "resources/resources.h"

namespace {

uint32_t ReadU16(const unsigned char* p) { return p[0] | (p[1] << 8); }
uint32_t ReadU32(const unsigned char* p) {
    return p[0] | (p[1] << 8) | (p[2] << 16) | (static_cast<uint32_t>(p[3]) << 24);
}
void PutU32(unsigned char* p, uint32_t v) {
    for (int i = 0; i < 4; ++i) p[i] = static_cast<unsigned char>(v >> (8 * i));
}

[[noreturn]] void BadIcon() { rt::Raise(481, "Invalid picture"); }

}  // namespace

rt::StdPicture IconPicture(const unsigned char* data, size_t size) {
    // Icon directory: reserved 0, type 1, image count; then 16-byte entries.
    if (data == nullptr || size < 6 + 16 || ReadU16(data) != 0 || ReadU16(data + 2) != 1 ||
        ReadU16(data + 4) == 0)
        BadIcon();
    const unsigned char* entry = data + 6;
    const uint32_t bytes = ReadU32(entry + 8), offset = ReadU32(entry + 12);
    if (offset > size || bytes > size - offset || bytes < 40) BadIcon();
    const unsigned char* dib = data + offset;

    // The image is a device-independent bitmap whose height counts the colour rows and the mask
    // rows together; the colours come first (bottom-up), the 1-bit mask after them.
    const uint32_t header = ReadU32(dib);
    const int32_t width = static_cast<int32_t>(ReadU32(dib + 4));
    const int32_t doubled = static_cast<int32_t>(ReadU32(dib + 8));
    const uint32_t bits = ReadU16(dib + 14), compression = ReadU32(dib + 16);
    if (header < 40 || header > bytes || width <= 0 || width > 256 || doubled <= 0 ||
        doubled % 2 != 0 || doubled / 2 > 256 || compression != 0)
        BadIcon();
    if (bits != 1 && bits != 4 && bits != 8 && bits != 24 && bits != 32) BadIcon();
    const int32_t height = doubled / 2;
    uint32_t colours = bits <= 8 ? ReadU32(dib + 32) : 0;
    if (bits <= 8 && (colours == 0 || colours > (1u << bits))) colours = 1u << bits;
    const size_t colourRow = ((static_cast<size_t>(width) * bits + 31) / 32) * 4;
    const size_t maskRow = ((static_cast<size_t>(width) + 31) / 32) * 4;
    const size_t pixelsAt = header + colours * 4;
    const size_t maskAt = pixelsAt + colourRow * height;
    if (maskAt > bytes) BadIcon();
    const bool hasMask = maskAt + maskRow * height <= bytes;

    // The colours as a bitmap file of their own, for the picture decoder.
    std::vector<unsigned char> file(14 + maskAt);
    file[0] = 'B';
    file[1] = 'M';
    PutU32(&file[2], static_cast<uint32_t>(file.size()));
    PutU32(&file[10], static_cast<uint32_t>(14 + pixelsAt));
    std::memcpy(&file[14], dib, maskAt);
    PutU32(&file[14 + 8], static_cast<uint32_t>(height));
    PutU32(&file[14 + 20], static_cast<uint32_t>(colourRow * height));
    rt::StdPicture picture = rt::LoadPictureFromMemory(file.data(), file.size());
    if (picture.Width != width || picture.Height != height) BadIcon();

    if (hasMask && bits != 32) {
        for (int32_t y = 0; y < height; ++y) {
            const unsigned char* row = dib + maskAt + maskRow * static_cast<size_t>(height - 1 - y);
            for (int32_t x = 0; x < width; ++x)
                if (row[x / 8] & (0x80 >> (x % 8)))
                    picture.Pixels[static_cast<size_t>(y) * width + x] &= 0x00FFFFFFu;
        }
    }
    return picture;
}

frmSelect::frmSelect()
    : Outline::ShapedForm("frmSelect", Outline::kSelect, Outline::kSelectCount),
      fileWorld(*this, "fileWorld", 24, 32, 145, 80),
      cmdAccept(*this, "cmdAccept", 136, 120, 97, 41),
      cmdCancel(*this, "cmdCancel", 144, 176, 73, 49) {
    Caption("Quorvane -- Select Simulation");
    ClientSize(253, 231);
    Move(385, 268);
    // The skin is one column and one row larger than the window; the excess is not shown.
    LoadSkin("frmSelect.bmp");
    const auto icon = GetResource("frmSelect.ico");
    if (!icon.empty()) Icon(IconPicture(icon.data(), icon.size()));

    fileWorld.Pattern("*.map");
    fileWorld.BackColor(rt::RGB(255, 255, 128));
    MakeClickZone(cmdAccept, [this] { cmdAccept_Click(); });
    MakeClickZone(cmdCancel, [this] { cmdCancel_Click(); });
    // The system's close command hides the window like Cancel, keeping the list and highlight.
    OnCloseCommand([this] { cmdCancel_Click(); });
}

void frmSelect::Form_Load() {
    ApplyOutline();
    fileWorld.Path(ModMain::ProgramFolderPath() + "Data\\Maps\\");
}

void frmSelect::cmdAccept_Click() {
    ModMain::WorldSelected = rt::True;
    Hide();
}

void frmSelect::cmdCancel_Click() { Hide(); }
