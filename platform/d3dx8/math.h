// D3DX matrix and vector helpers. Matrices are row-major and points are row vectors, so in
// A x B the matrix A applies first. Every output may be the same object as an input.
#pragma once
#include "platform/d3d8/d3d8types.h"

void D3DXMatrixIdentity(D3DMATRIX& out);
void D3DXMatrixTranslation(D3DMATRIX& out, float x, float y, float z);
void D3DXMatrixRotationX(D3DMATRIX& out, float angle);
void D3DXMatrixRotationY(D3DMATRIX& out, float angle);
void D3DXMatrixRotationZ(D3DMATRIX& out, float angle);
// Roll about z, then pitch about x, then yaw about y.
void D3DXMatrixRotationYawPitchRoll(D3DMATRIX& out, float yaw, float pitch, float roll);
// out = first x second.
void D3DXMatrixMultiply(D3DMATRIX& out, const D3DMATRIX& first, const D3DMATRIX& second);
// Left-handed perspective: y scale cot(fovy / 2), x scale y scale / aspect, depth 0 at zn and
// 1 at zf, w = view-space z.
void D3DXMatrixPerspectiveFovLH(D3DMATRIX& out, float fovy, float aspect, float zn, float zf);
// World -> view -> projection -> divide by w -> viewport: x, y in pixels (y down), z on
// MinZ..MaxZ.
void D3DXVec3Project(D3DVECTOR& out, const D3DVECTOR& v, const D3DVIEWPORT8& viewport,
                     const D3DMATRIX& projection, const D3DMATRIX& view, const D3DMATRIX& world);
