#include "dxf/SaveWriterOut.h"

#include <vector>

namespace tessa {

void SyncTogether(std::span<TDXFAtomicFile* const> files) {
  std::vector<platform::TAtomicFile*> open;
  open.reserve(files.size());
  for (TDXFAtomicFile* f : files) open.push_back(&f->file_);
  platform::SyncTogether(open);
}

}  // namespace tessa
