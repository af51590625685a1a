// JPEG files through libjpeg(-turbo): a decoder hardened against damaged files, which
// stb_image's JPEG reader is not.
#include "platform/media/image.h"

#include <csetjmp>
#include <cstdio>

#include <jpeglib.h>
#include <jerror.h>

namespace media {
namespace {

struct ErrorManager {
    jpeg_error_mgr pub;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

extern "C" void JpegErrorExit(j_common_ptr cinfo) {
    auto* e = reinterpret_cast<ErrorManager*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, e->message);
    std::longjmp(e->jump, 1);
}

// Warnings (level -1) that the coded pixels stop before the last one: the file ends early, or a
// scan's data ends at a marker with pixels still to come. The library would fill the rest in
// grey; such a file is refused as damaged, like a cut-off BMP. Other warnings keep the picture
// the library makes: stray bytes before a marker are common in files that cameras write, and
// the rest concern metadata or data the library works around. Trace messages (levels 0 and up)
// are dropped.
extern "C" void JpegWarning(j_common_ptr cinfo, int level) {
    if (level < 0 && (cinfo->err->msg_code == JWRN_JPEG_EOF || cinfo->err->msg_code == JWRN_HIT_MARKER))
        JpegErrorExit(cinfo);
}

// Decodes into `pixels` (already empty). Only plain data lives in this frame, so the jump out
// of the library on an error skips no destructor. Returns 0, or 1 with `message` filled.
int Decode(const uint8_t* data, size_t size, std::vector<uint32_t>& pixels, int& width, int& height,
           int maxSide, char* message, size_t messageSize) {
    jpeg_decompress_struct cinfo;
    ErrorManager err;
    cinfo.err = jpeg_std_error(&err.pub);
    err.pub.error_exit = JpegErrorExit;
    err.pub.emit_message = JpegWarning;
    err.message[0] = '\0';
    if (setjmp(err.jump)) {
        std::snprintf(message, messageSize, "%s", err.message);
        jpeg_destroy_decompress(&cinfo);
        return 1;
    }
    jpeg_create_decompress(&cinfo);
    cinfo.mem->max_memory_to_use = 256L * 1024 * 1024;
    jpeg_mem_src(&cinfo, data, static_cast<unsigned long>(size));
    jpeg_read_header(&cinfo, TRUE);
    if (cinfo.image_width == 0 || cinfo.image_height == 0 || cinfo.image_width > static_cast<unsigned>(maxSide) ||
        cinfo.image_height > static_cast<unsigned>(maxSide)) {
        std::snprintf(message, messageSize, "bad image size");
        jpeg_destroy_decompress(&cinfo);
        return 1;
    }
    // Four bytes B, G, R, A per pixel: in memory, one 0xAARRGGBB word, alpha FF.
    cinfo.out_color_space = JCS_EXT_BGRA;
    jpeg_start_decompress(&cinfo);
    width = static_cast<int>(cinfo.output_width);
    height = static_cast<int>(cinfo.output_height);
    pixels.resize(static_cast<size_t>(width) * static_cast<size_t>(height));
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW row = reinterpret_cast<JSAMPROW>(pixels.data() + static_cast<size_t>(cinfo.output_scanline) * width);
        jpeg_read_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    return 0;
}

}  // namespace

bool DecodeJpeg(const uint8_t* data, size_t size, Image& out, std::string& error, int maxSide) {
    out.Pixels.clear();
    int w = 0, h = 0;
    char message[JMSG_LENGTH_MAX + 16];
    if (Decode(data, size, out.Pixels, w, h, maxSide, message, sizeof message) != 0) {
        error = message[0] ? message : "corrupt JPEG";
        out.Pixels.clear();
        return false;
    }
    out.Width = w;
    out.Height = h;
    out.HasAlpha = false;
    for (uint32_t& p : out.Pixels) p |= 0xFF000000u;
    return true;
}

}  // namespace media

