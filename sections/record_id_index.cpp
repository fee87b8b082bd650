#include "sections/record_id_index.h"

#include <atomic>

namespace {
std::atomic<bool> indexing{false};
}

void setRecordIdIndexing(bool on) noexcept { indexing.store(on); }
bool recordIdIndexing() noexcept { return indexing.load(); }
