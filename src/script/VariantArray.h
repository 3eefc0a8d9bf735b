#pragma once
#include <windows.h>
#include <oleauto.h>

#include <vector>

namespace vb {

// Argument VARIANTs for one IDispatch call, each owned and cleared when the array goes.
class VariantArray {
public:
    explicit VariantArray(size_t count) : items_(count) {
        for (VARIANT& item : items_) ::VariantInit(&item);
    }
    ~VariantArray() {
        for (VARIANT& item : items_) ::VariantClear(&item);
    }
    VariantArray(const VariantArray&) = delete;
    VariantArray& operator=(const VariantArray&) = delete;

    VARIANT* Data() noexcept { return items_.empty() ? nullptr : items_.data(); }
    UINT Count() const noexcept { return static_cast<UINT>(items_.size()); }
    VARIANT& operator[](size_t index) noexcept { return items_[index]; }

private:
    std::vector<VARIANT> items_;
};

}  // namespace vb
