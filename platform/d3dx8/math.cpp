// D3DX matrix and vector helpers on row vectors (p' = p x M).
#include "platform/d3dx8/math.h"

#include <cmath>

void D3DXMatrixIdentity(D3DMATRIX& out) {
    out = D3DMATRIX{};
    for (int i = 0; i < 4; ++i) out.m[i][i] = 1.0f;
}

void D3DXMatrixTranslation(D3DMATRIX& out, float x, float y, float z) {
    D3DXMatrixIdentity(out);
    out.m[3][0] = x;
    out.m[3][1] = y;
    out.m[3][2] = z;
}

void D3DXMatrixRotationX(D3DMATRIX& out, float angle) {
    const float c = std::cos(angle), s = std::sin(angle);
    D3DXMatrixIdentity(out);
    out.m[1][1] = c;
    out.m[1][2] = s;
    out.m[2][1] = -s;
    out.m[2][2] = c;
}

void D3DXMatrixRotationY(D3DMATRIX& out, float angle) {
    const float c = std::cos(angle), s = std::sin(angle);
    D3DXMatrixIdentity(out);
    out.m[0][0] = c;
    out.m[0][2] = -s;
    out.m[2][0] = s;
    out.m[2][2] = c;
}

void D3DXMatrixRotationZ(D3DMATRIX& out, float angle) {
    const float c = std::cos(angle), s = std::sin(angle);
    D3DXMatrixIdentity(out);
    out.m[0][0] = c;
    out.m[0][1] = s;
    out.m[1][0] = -s;
    out.m[1][1] = c;
}

void D3DXMatrixMultiply(D3DMATRIX& out, const D3DMATRIX& first, const D3DMATRIX& second) {
    D3DMATRIX r;
    for (int i = 0; i < 4; ++i)
        for (int j = 0; j < 4; ++j) {
            float sum = 0.0f;
            for (int k = 0; k < 4; ++k) sum += first.m[i][k] * second.m[k][j];
            r.m[i][j] = sum;
        }
    out = r;
}

void D3DXMatrixRotationYawPitchRoll(D3DMATRIX& out, float yaw, float pitch, float roll) {
    D3DMATRIX z, x, y, zx;
    D3DXMatrixRotationZ(z, roll);
    D3DXMatrixRotationX(x, pitch);
    D3DXMatrixRotationY(y, yaw);
    D3DXMatrixMultiply(zx, z, x);
    D3DXMatrixMultiply(out, zx, y);
}

void D3DXMatrixPerspectiveFovLH(D3DMATRIX& out, float fovy, float aspect, float zn, float zf) {
    const float yScale = 1.0f / std::tan(fovy / 2.0f);
    const float xScale = yScale / aspect;
    out = D3DMATRIX{};
    out.m[0][0] = xScale;
    out.m[1][1] = yScale;
    out.m[2][2] = zf / (zf - zn);
    out.m[2][3] = 1.0f;
    out.m[3][2] = -zn * zf / (zf - zn);
}

void D3DXVec3Project(D3DVECTOR& out, const D3DVECTOR& v, const D3DVIEWPORT8& viewport, const D3DMATRIX& projection,
                     const D3DMATRIX& view, const D3DMATRIX& world) {
    D3DMATRIX wv, wvp;
    D3DXMatrixMultiply(wv, world, view);
    D3DXMatrixMultiply(wvp, wv, projection);
    const float x = v.x * wvp.m[0][0] + v.y * wvp.m[1][0] + v.z * wvp.m[2][0] + wvp.m[3][0];
    const float y = v.x * wvp.m[0][1] + v.y * wvp.m[1][1] + v.z * wvp.m[2][1] + wvp.m[3][1];
    const float z = v.x * wvp.m[0][2] + v.y * wvp.m[1][2] + v.z * wvp.m[2][2] + wvp.m[3][2];
    const float w = v.x * wvp.m[0][3] + v.y * wvp.m[1][3] + v.z * wvp.m[2][3] + wvp.m[3][3];
    // A point in the eye's plane (w = 0) has no projection: it divides to infinities, which the
    // visibility tests then read as outside.
    const float nx = x / w, ny = y / w, nz = z / w;
    out.x = static_cast<float>(viewport.X) + (1.0f + nx) * static_cast<float>(viewport.Width) / 2.0f;
    out.y = static_cast<float>(viewport.Y) + (1.0f - ny) * static_cast<float>(viewport.Height) / 2.0f;
    out.z = viewport.MinZ + nz * (viewport.MaxZ - viewport.MinZ);
}
