// The texture cache: each image file below the data folder is made into a texture once, and
// the index of its slot is the texture's handle.

#include "engine/checked.h"
#include "engine/slot_table.h"
#include "engine/zemdx.h"
#include "platform/runtime/errors.h"
#include "platform/runtime/paths.h"

namespace ZemDx {

namespace {

// The lookup and the load, raising whatever error stops them.
rt::Long Load(const std::string& FileName, const rt::Long& ColorKey, const rt::Boolean& ForceNew) {
    // The name alone is the key, compared exactly; empty slots are skipped.
    if (ForceNew == rt::False) {
        for (rt::Long i = 0; i < TextureCount; ++i) {
            if (!detail::Item(Textures, i)) continue;
            if (FileName == detail::Item(TextureNames, i).FileName) return i;
        }
    }

    // The first empty slot, or a new one: the names grow first, then the textures.
    const rt::Long slot = detail::FreeSlotOrGrow(
        TextureCount, [](rt::Long i) { return !detail::Item(Textures, i); },
        [](size_t n) {
            TextureNames.resize(n);
            Textures.resize(n);
        });

    detail::Item(Textures, slot) = detail::UtilityObject().CreateTextureFromFileEx(
        D3DDevice, AppPath + "Data\\" + FileName, D3DX_DEFAULT, D3DX_DEFAULT, D3DX_DEFAULT, 0,
        D3DFMT_UNKNOWN, D3DPOOL_MANAGED, D3DX_FILTER_LINEAR, D3DX_FILTER_LINEAR, ColorKey, nullptr,
        nullptr);
    detail::Item(TextureNames, slot).FileName = FileName;
    return slot;
}

}  // namespace

rt::Long LoadTexture(const std::string& FileName, const rt::Long& ColorKey, const rt::Boolean& ForceNew) {
    LastTextureFailure = {};
    // The failure's detail: the error's own (the loader's names the file), else the file.
    auto detailOf = [&](const std::string& errorDetail) {
        return errorDetail.empty() ? rt::HostPath(AppPath + "Data\\" + FileName) : errorDetail;
    };
    return detail::Trapped(rt::Long{-1}, [&]() -> rt::Long {
        try {
            return Load(FileName, ColorKey, ForceNew);
        } catch (const rt::RuntimeError& e) {
            LastTextureFailure = {FileName, e.Number(), e.Text(), detailOf(e.Detail())};
            throw;
        } catch (const std::bad_alloc&) {
            LastTextureFailure = {FileName, rt::ErrOutOfMemory, rt::ErrorText(rt::ErrOutOfMemory), detailOf("")};
            throw;
        }
    });
}

}  // namespace ZemDx
