// The stb_image decoder, limited to the formats textures come in (JPEG files go to libjpeg). Built with wrapping signed
// arithmetic (see CMakeLists.txt): on damaged files its integer arithmetic may overflow, which
// must give a wrong picture, never undefined behaviour. Its memory-safety gaps are closed by
// the checks in image_decode.cpp before it sees a file.
#define STB_IMAGE_IMPLEMENTATION
#define STBI_NO_STDIO
#define STBI_ONLY_PNG
#define STBI_ONLY_BMP
#define STBI_ONLY_TGA
#define STBI_NO_LINEAR
#define STBI_NO_HDR
#define STBI_MAX_DIMENSIONS 8192
#pragma GCC diagnostic push
#pragma GCC diagnostic ignored "-Wunused-function"
#pragma GCC diagnostic ignored "-Wsign-compare"
#pragma GCC diagnostic ignored "-Wmissing-field-initializers"
#pragma GCC diagnostic ignored "-Wimplicit-fallthrough"
#include <stb_image.h>
#pragma GCC diagnostic pop
