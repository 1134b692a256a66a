#include "util/LargeMemory.h"

#include <cstdint>

#include <sys/mman.h>

namespace tessa {

namespace {

constexpr uintptr_t kHugePage = uintptr_t{2} << 20;
constexpr size_t kLeastBytes = size_t{4} << 20;

}  // namespace

void AdviseHugePages(const void* p, size_t bytes) {
#ifdef MADV_HUGEPAGE
  if (!p || bytes < kLeastBytes) return;
  const uintptr_t begin = (reinterpret_cast<uintptr_t>(p) + kHugePage - 1) & ~(kHugePage - 1);
  const uintptr_t end = (reinterpret_cast<uintptr_t>(p) + bytes) & ~(kHugePage - 1);
  if (end > begin)
    (void)::madvise(reinterpret_cast<void*>(begin), end - begin, MADV_HUGEPAGE);
#else
  (void)p;
  (void)bytes;
#endif
}

}  // namespace tessa
