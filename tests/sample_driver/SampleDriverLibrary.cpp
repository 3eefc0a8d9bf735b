#include "SampleDriverLibrary.h"

namespace vb::test {

SampleDriverLibrary::SampleDriverLibrary(const std::wstring& path) : module_(::LoadLibraryW(path.c_str())) {
    if (!module_) return;
#define VB_SAMPLE_LIBRARY_BIND(name, result, params) \
    name = reinterpret_cast<PFN_##name>(reinterpret_cast<void*>(::GetProcAddress(module_.Get(), #name)));
    VB_DRIVER_ENTRY_POINTS(VB_SAMPLE_LIBRARY_BIND)
#undef VB_SAMPLE_LIBRARY_BIND
}

void SampleDriverLibrary::Unload() {
#define VB_SAMPLE_LIBRARY_UNBIND(name, result, params) name = nullptr;
    VB_DRIVER_ENTRY_POINTS(VB_SAMPLE_LIBRARY_UNBIND)
#undef VB_SAMPLE_LIBRARY_UNBIND
    module_.Reset();
}

}  // namespace vb::test
