// A dynamic two-dimensional array of the run time: both indexes start at 0, ReDim gives it new
// upper bounds with every element zero, and any access outside the bounds (or before the first
// ReDim) raises ErrSubscript.
#pragma once
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <type_traits>

#include "errors.h"
#include "types.h"

namespace rt {

template <typename T>
class Array2D {
    static_assert(std::is_trivially_copyable_v<T>, "elements are zero-filled and copied as bytes");

public:
    // The most memory one array may take; a larger ReDim raises ErrOutOfMemory.
    static constexpr uint64_t MaxBytes = uint64_t(1) << 30;

    Array2D() = default;
    Array2D(const Array2D& o) { *this = o; }
    Array2D& operator=(const Array2D& o) {
        if (this == &o) return *this;
        if (!o.data_) {
            Erase();
            return *this;
        }
        Storage copy = Allocate(o.Count());
        std::memcpy(copy.get(), o.data_.get(), o.Count() * sizeof(T));
        data_ = std::move(copy);
        ub1_ = o.ub1_;
        ub2_ = o.ub2_;
        return *this;
    }
    Array2D(Array2D&&) noexcept = default;
    Array2D& operator=(Array2D&&) noexcept = default;

    // New bounds 0..ub1 and 0..ub2, every element zero; the former contents are dropped. A negative
    // bound raises ErrSubscript; an array beyond MaxBytes raises ErrOutOfMemory. On failure the
    // array keeps its former bounds and contents. The pages of a large array come zeroed from the
    // system and take no memory until an element on them is written.
    void ReDim(Long ub1, Long ub2) {
        if (ub1 < 0 || ub2 < 0) Raise(ErrSubscript);
        const uint64_t count = (uint64_t(ub1) + 1) * (uint64_t(ub2) + 1);
        if (count > MaxBytes / sizeof(T)) Raise(ErrOutOfMemory);
        Storage fresh = Allocate(static_cast<size_t>(count));
        data_ = std::move(fresh);
        ub1_ = ub1;
        ub2_ = ub2;
    }

    // Back to the state before the first ReDim.
    void Erase() {
        data_.reset();
        ub1_ = ub2_ = -1;
    }

    bool IsDimensioned() const { return data_ != nullptr; }

    // Upper bound of dimension 1 or 2; raises ErrSubscript before the first ReDim or for another
    // dimension.
    Long UBound(int dimension) const {
        if (!data_ || dimension < 1 || dimension > 2) Raise(ErrSubscript);
        return dimension == 1 ? ub1_ : ub2_;
    }
    Long LBound(int dimension) const {
        UBound(dimension);
        return 0;
    }

    T& operator()(Long i, Long j) { return data_[Index(i, j)]; }
    const T& operator()(Long i, Long j) const { return data_[Index(i, j)]; }

private:
    struct Free {
        void operator()(T* p) const { std::free(p); }
    };
    using Storage = std::unique_ptr<T[], Free>;

    // calloc: the zero pages of a large, mostly unused grid cost no memory until written.
    static Storage Allocate(size_t count) {
        void* p = std::calloc(count == 0 ? 1 : count, sizeof(T));
        if (!p) Raise(ErrOutOfMemory);
        return Storage(static_cast<T*>(p));
    }

    size_t Count() const { return (size_t(ub1_) + 1) * (size_t(ub2_) + 1); }

    size_t Index(Long i, Long j) const {
        if (!data_ || i < 0 || i > ub1_ || j < 0 || j > ub2_) Raise(ErrSubscript);
        return size_t(i) * (size_t(ub2_) + 1) + size_t(j);
    }

    Storage data_;
    Long ub1_ = -1, ub2_ = -1;
};

}  // namespace rt
