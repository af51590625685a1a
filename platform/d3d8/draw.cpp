// The device's draw calls: checking a call's arguments against the bound buffers, then
// handing its vertices to the vertex side (draw_path.h).
#include <cstring>
#include <utility>

#include "platform/d3d8/buffer_regions.h"
#include "platform/d3d8/d3d8.h"
#include "platform/d3d8/draw_path.h"
#include "platform/d3d8/fail.h"

namespace d3d8detail {

namespace {

thread_local Scratch g_scratch;

// Vertices needed for `count` primitives of `type`; -1 for an unknown type.
int64_t VertexCount(int32_t type, int32_t count) {
    switch (type) {
    case D3DPT_POINTLIST: return count;
    case D3DPT_LINELIST: return 2 * static_cast<int64_t>(count);
    case D3DPT_LINESTRIP: return static_cast<int64_t>(count) + 1;
    case D3DPT_TRIANGLELIST: return 3 * static_cast<int64_t>(count);
    case D3DPT_TRIANGLESTRIP:
    case D3DPT_TRIANGLEFAN: return static_cast<int64_t>(count) + 2;
    default: return -1;
    }
}

// The primitive types whose one primitive is a triangle of the first three vertices.
inline bool TriangleType(int32_t type) {
    return type == D3DPT_TRIANGLESTRIP || type == D3DPT_TRIANGLELIST || type == D3DPT_TRIANGLEFAN;
}

// Most of a large world lies beyond a side of the view: the bounds of the buffer's
// neighbourhood say so for all of its triangles at once (the verdict made again after the
// transform changed). They hold the positions as the buffer's own format places them, so the
// caller asks only for a draw that reads it the same way (the buffer's format bound, the stride
// the vertex size). Needs the transform product current.
inline bool RegionBeyondView(const DeviceState& s, const Direct3DVertexBuffer8& vb) {
    RegionBounds* r = RegionOf(vb);
    if (!r || r->state != RegionBounds::Known) return false;
    if (r->stamp != s.wvpStamp) [[unlikely]] {
        r->outside = BoxBeyondOneSide(*r, s.wvp);
        r->stamp = s.wvpStamp;
    }
    return r->outside;
}

// The world's usual draw, in short: one triangle from the start of a buffer of the bound
// format. When every check of the full way below would pass, the draw is either passed over
// (its carved buffer's region lies beyond a side of the view) or goes straight to the
// one-triangle path; otherwise the full way decides.
enum class Usual { No, PassedOver, OneTriangle };
inline Usual UsualDraw(const DeviceState& s, int32_t type, int32_t start, int32_t count) {
    if (count != 1 || start != 0 || !TriangleType(type)) return Usual::No;
    if (!s.inScene || s.second || s.wvpDirty || !s.stream || s.layout.transformed || s.layout.size == 0 ||
        s.streamStride != s.layout.size)
        return Usual::No;
    const Direct3DVertexBuffer8& vb = *s.stream;
    if (3 * s.layout.size > vb.Length() || vb.FVF() != s.layout.fvf) return Usual::No;
    return RegionBeyondView(s, vb) ? Usual::PassedOver : Usual::OneTriangle;
}

}  // namespace

}  // namespace d3d8detail

using d3d8detail::DrawPath;
using d3d8detail::Fail;
using d3d8detail::VertexCount;

void Direct3DDevice8::DrawPrimitive(int32_t PrimitiveType, int32_t StartVertex, int32_t PrimitiveCount) {
    D3D8_INTERCEPT("DrawPrimitive", PrimitiveType, StartVertex, PrimitiveCount);
    const char* const call = "Direct3DDevice8.DrawPrimitive";
    d3d8detail::DeviceState& s = *s_;
    switch (d3d8detail::UsualDraw(s, PrimitiveType, StartVertex, PrimitiveCount)) {
    case d3d8detail::Usual::PassedOver: return;
    case d3d8detail::Usual::OneTriangle: {
        DrawPath path(s, d3d8detail::g_scratch, call);
        path.Setup();
        path.OneTriangle(std::as_const(*s.stream).Data(), s.streamStride);
        return;
    }
    case d3d8detail::Usual::No: break;
    }
    const int64_t n = VertexCount(PrimitiveType, PrimitiveCount);
    if (n < 0 || PrimitiveCount < 0 || StartVertex < 0) Fail(call, D3DERR_INVALIDCALL, "primitive type or count");
    d3d8detail::BeginDraw(s, call);
    if (PrimitiveCount == 0) return;
    if (!s.stream) Fail(call, D3DERR_INVALIDCALL, "no vertex buffer");
    const int32_t stride = s.streamStride;
    if (stride < s.layout.size) Fail(call, D3DERR_INVALIDCALL, "stride smaller than the vertex format");
    const int64_t end = (static_cast<int64_t>(StartVertex) + n - 1) * stride + s.layout.size;
    if (end > s.stream->Length()) Fail(call, D3DERR_INVALIDCALL, "vertices beyond the end of the buffer");
    const Direct3DVertexBuffer8& vb = *s.stream;
    const uint8_t* first = vb.Data() + static_cast<size_t>(StartVertex) * static_cast<size_t>(stride);
    // The engine's way of drawing the world: one triangle per call.
    if (PrimitiveCount == 1 && !s.layout.transformed && d3d8detail::TriangleType(PrimitiveType)) {
        if (vb.FVF() == s.layout.fvf && stride == s.layout.size && d3d8detail::RegionBeyondView(s, vb)) return;
        DrawPath path(s, d3d8detail::g_scratch, call);
        path.Setup();
        path.OneTriangle(first, stride);
        return;
    }
    DrawPath path(s, d3d8detail::g_scratch, call);
    path.Setup();
    path.Fetch(first, stride, static_cast<int32_t>(n));
    path.Assemble(PrimitiveType, PrimitiveCount, nullptr, 0);
}

void Direct3DDevice8::DrawPrimitiveUP(int32_t PrimitiveType, int32_t PrimitiveCount, const void* VertexStreamZeroData,
                                      int32_t VertexStreamZeroStride) {
    D3D8_INTERCEPT("DrawPrimitiveUP", PrimitiveType, PrimitiveCount, VertexStreamZeroStride);
    const char* const call = "Direct3DDevice8.DrawPrimitiveUP";
    d3d8detail::DeviceState& s = *s_;
    const int64_t n = VertexCount(PrimitiveType, PrimitiveCount);
    if (n < 0 || PrimitiveCount < 0) Fail(call, D3DERR_INVALIDCALL, "primitive type or count");
    DrawPath path(s, d3d8detail::g_scratch, call);
    path.Begin();
    // Drawing from memory leaves stream 0 unset, as on the platform.
    d3d8detail::UnbindStream(s);
    s.streamStride = 0;
    if (PrimitiveCount == 0) return;
    if (!VertexStreamZeroData) Fail(call, D3DERR_INVALIDCALL, "no vertices");
    if (VertexStreamZeroStride < s.layout.size) Fail(call, D3DERR_INVALIDCALL, "stride smaller than the vertex format");
    if (n > (1 << 24)) Fail(call, D3DERR_INVALIDCALL, "too many primitives");
    path.Fetch(static_cast<const uint8_t*>(VertexStreamZeroData), VertexStreamZeroStride, static_cast<int32_t>(n));
    path.Assemble(PrimitiveType, PrimitiveCount, nullptr, 0);
}

void Direct3DDevice8::DrawIndexedPrimitive(int32_t PrimitiveType, int32_t MinIndex, int32_t NumIndices,
                                           int32_t StartIndex, int32_t PrimitiveCount) {
    D3D8_INTERCEPT("DrawIndexedPrimitive", PrimitiveType, MinIndex, NumIndices, StartIndex, PrimitiveCount);
    const char* const call = "Direct3DDevice8.DrawIndexedPrimitive";
    d3d8detail::DeviceState& s = *s_;
    const int64_t n = VertexCount(PrimitiveType, PrimitiveCount);
    if (n < 0 || PrimitiveCount < 0 || MinIndex < 0 || NumIndices < 0 || StartIndex < 0)
        Fail(call, D3DERR_INVALIDCALL, "primitive type, count or range");
    DrawPath path(s, d3d8detail::g_scratch, call);
    path.Begin();
    if (PrimitiveCount == 0) return;
    if (!s.stream) Fail(call, D3DERR_INVALIDCALL, "no vertex buffer");
    if (!s.indices) Fail(call, D3DERR_INVALIDCALL, "no index buffer");
    const int32_t stride = s.streamStride;
    if (stride < s.layout.size) Fail(call, D3DERR_INVALIDCALL, "stride smaller than the vertex format");
    // The vertices the indices may name: MinIndex .. MinIndex + NumIndices - 1, after the base.
    const int64_t first = static_cast<int64_t>(s.baseVertex) + MinIndex;
    if (NumIndices == 0) Fail(call, D3DERR_INVALIDCALL, "empty vertex range");
    if ((first + NumIndices - 1) * stride + s.layout.size > s.stream->Length())
        Fail(call, D3DERR_INVALIDCALL, "vertex range beyond the end of the buffer");
    const int indexSize = s.indices->Format() == D3DFMT_INDEX32 ? 4 : 2;
    if ((static_cast<int64_t>(StartIndex) + n) * indexSize > s.indices->Length())
        Fail(call, D3DERR_INVALIDCALL, "indices beyond the end of the index buffer");
    auto& idx = d3d8detail::g_scratch.indices;
    idx.resize(static_cast<size_t>(n));
    const uint8_t* ib = s.indices->Data() + static_cast<size_t>(StartIndex) * indexSize;
    for (int64_t k = 0; k < n; ++k) {
        uint32_t v;
        if (indexSize == 2) {
            uint16_t v16;
            std::memcpy(&v16, ib + k * 2, 2);
            v = v16;
        } else {
            std::memcpy(&v, ib + k * 4, 4);
        }
        if (v < static_cast<uint32_t>(MinIndex) || v >= static_cast<uint32_t>(MinIndex) + static_cast<uint32_t>(NumIndices))
            Fail(call, D3DERR_INVALIDCALL, "index outside the vertex range");
        idx[static_cast<size_t>(k)] = v;
    }
    path.Fetch(std::as_const(*s.stream).Data() + static_cast<size_t>(first) * static_cast<size_t>(stride), stride,
               NumIndices);
    path.Assemble(PrimitiveType, PrimitiveCount, idx.data(), MinIndex);
}
