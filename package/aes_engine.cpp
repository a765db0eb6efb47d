#include "package/aes_engine.h"

#include <atomic>

#if defined(__x86_64__) || defined(__i386__)
#include <cpuid.h>
#endif

namespace {

bool DetectAesNi() {
#if defined(__x86_64__) || defined(__i386__)
    unsigned eax = 0, ebx = 0, ecx = 0, edx = 0;
    if (!__get_cpuid(1, &eax, &ebx, &ecx, &edx)) return false;
    const bool sse2 = (edx & (1u << 26)) != 0;
    const bool aes = (ecx & (1u << 25)) != 0;
    return sse2 && aes;
#else
    return false;
#endif
}

// Set once the table form is asked for; read on every buffer operation.
std::atomic<bool> g_tableFormSelected{false};

}  // namespace

bool ProcessorHasAesNi() {
    static const bool present = DetectAesNi();
    return present;
}

AesEngine ActiveAesEngine() {
    if (g_tableFormSelected.load(std::memory_order_relaxed) || !ProcessorHasAesNi())
        return AesEngine::kTableForm;
    return AesEngine::kAesNi;
}

AesEngine SelectAesEngine(AesEngine wanted) {
    g_tableFormSelected.store(wanted == AesEngine::kTableForm, std::memory_order_relaxed);
    return ActiveAesEngine();
}
