// The texture cache: each image file below the data folder is made into a texture once, and
// the index of its slot is the texture's handle.
#include <new>

#include "engine/checked.h"
#include "engine/zemdx.h"
#include "platform/runtime/errors.h"

namespace ZemDx {

rt::Long LoadTexture(const std::string& FileName, const rt::Long& ColorKey, const rt::Boolean& ForceNew) {
    try {
        // The name alone is the key, compared exactly; empty slots are skipped.
        if (ForceNew == rt::False) {
            for (rt::Long i = 0; i < TextureCount; ++i) {
                if (!detail::Item(Textures, i)) continue;
                if (FileName == detail::Item(TextureNames, i).FileName) return i;
            }
        }

        rt::Long slot = -1;
        for (rt::Long i = 0; i < TextureCount; ++i) {
            if (!detail::Item(Textures, i)) {
                slot = i;
                break;
            }
        }
        if (slot < 0) {
            // No empty slot: the table grows by exactly one.
            TextureCount = rt::AddLng(TextureCount, 1);
            TextureNames.resize(static_cast<size_t>(TextureCount));
            Textures.resize(static_cast<size_t>(TextureCount));
            slot = TextureCount - 1;
        }

        detail::Item(Textures, slot) = detail::UtilityObject().CreateTextureFromFileEx(
            D3DDevice, AppPath + "Data\\" + FileName, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0,
            D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_FILTER_LINEAR, D3DX_FILTER_LINEAR, ColorKey, nullptr,
            nullptr);
        detail::Item(TextureNames, slot).FileName = FileName;
        return slot;
    } catch (const rt::RuntimeError&) {
        return -1;
    } catch (const std::bad_alloc&) {
        return -1;
    }
}

}  // namespace ZemDx
