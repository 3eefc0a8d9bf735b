#pragma once

// What the processor offers beyond the build's baseline, asked once; code built for a wider
// instruction set runs only where this says it may.
namespace vb::cpu {

inline bool HasSse2() noexcept {
    static const bool available = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("sse2") != 0;
    }();
    return available;
}

inline bool HasSsse3() noexcept {
    static const bool available = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("ssse3") != 0;
    }();
    return available;
}

// libgcc reports AVX2 only when the system saves the 256-bit registers too.
inline bool HasAvx2() noexcept {
    static const bool available = [] {
        __builtin_cpu_init();
        return __builtin_cpu_supports("avx2") != 0;
    }();
    return available;
}

}  // namespace vb::cpu
