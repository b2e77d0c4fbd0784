#include "web/TidyArena.h"

#include <cstdlib>
#include <cstring>
#include <new>
#include <type_traits>

// Every block is preceded by its header; 16 bytes keep blocks aligned as malloc's are.
struct alignas(16) TidyArena::Header {
  size_t size;  // bytes usable after the header
  bool large;   // the block came from malloc on its own
};

static_assert(std::is_standard_layout_v<TidyArena>, "the allocator is cast back to the arena");

namespace {

constexpr size_t kAlign = 16;

size_t RoundUp(size_t bytes) { return (bytes + kAlign - 1) & ~(kAlign - 1); }

TidyArena* Self(TidyAllocator* allocator) {
  // base_ is the arena's first member and the class has no virtual functions.
  return reinterpret_cast<TidyArena*>(allocator);
}

// Tidy has no way back from a failed allocation: it would use the null pointer. Its own
// allocator ends the process here too; abort lets the crash reporter see it.
[[noreturn]] void OutOfMemory() { std::abort(); }

void* TIDY_CALL ArenaAlloc(TidyAllocator* self, size_t bytes) {
  void* block = Self(self)->Allocate(bytes);
  if (block == nullptr) OutOfMemory();
  return block;
}

void* TIDY_CALL ArenaRealloc(TidyAllocator* self, void* block, size_t bytes) {
  void* grown = Self(self)->Reallocate(block, bytes);
  if (grown == nullptr && bytes != 0) OutOfMemory();
  return grown;
}

void TIDY_CALL ArenaFree(TidyAllocator* self, void* block) { Self(self)->Free(block); }

// Only called when Tidy finds its own tree broken.
void TIDY_CALL ArenaPanic(TidyAllocator*, ctmbstr) { std::abort(); }

const TidyAllocatorVtbl kArenaVtbl = {ArenaAlloc, ArenaRealloc, ArenaFree, ArenaPanic};

}  // namespace

TidyArena::Header* TidyArena::HeaderOf(void* block) {
  return reinterpret_cast<Header*>(static_cast<char*>(block) - sizeof(Header));
}

TidyArena::TidyArena() {
  static_assert(sizeof(Header) == 16, "blocks must stay 16-byte aligned");
  base_.vtbl = &kArenaVtbl;
}

TidyArena::~TidyArena() {
  for (char* chunk : chunks_) std::free(chunk);
}

bool TidyArena::NewChunk() {
  if (chunkBytes_ + kChunkSize > kChunkLimit) return false;
  char* chunk = static_cast<char*>(std::malloc(kChunkSize));
  if (chunk == nullptr) return false;
  try {
    chunks_.push_back(chunk);
  } catch (...) {
    std::free(chunk);
    return false;
  }
  chunkBytes_ += kChunkSize;
  top_ = chunk;
  end_ = chunk + kChunkSize;
  last_ = nullptr;
  return true;
}

void* TidyArena::AllocateLarge(size_t bytes) {
  void* raw = std::malloc(sizeof(Header) + bytes);
  if (raw == nullptr) return nullptr;
  Header* header = static_cast<Header*>(raw);
  header->size = bytes;
  header->large = true;
  return header + 1;
}

void* TidyArena::AllocateSmall(size_t bytes) {
  const size_t need = sizeof(Header) + RoundUp(bytes);
  if (top_ == nullptr || static_cast<size_t>(end_ - top_) < need) {
    if (!NewChunk()) return AllocateLarge(bytes);
  }
  Header* header = reinterpret_cast<Header*>(top_);
  header->size = RoundUp(bytes);
  header->large = false;
  top_ += need;
  last_ = header + 1;
  return last_;
}

void* TidyArena::Allocate(size_t bytes) {
  if (bytes == 0) bytes = 1;
  if (bytes >= kLargeBlock) return AllocateLarge(bytes);
  return AllocateSmall(bytes);
}

void* TidyArena::Reallocate(void* block, size_t bytes) {
  if (block == nullptr) return Allocate(bytes);
  if (bytes == 0) {
    Free(block);
    return nullptr;
  }
  Header* header = HeaderOf(block);
  if (header->large) {
    void* raw = std::realloc(header, sizeof(Header) + bytes);
    if (raw == nullptr) return nullptr;
    Header* moved = static_cast<Header*>(raw);
    moved->size = bytes;
    return moved + 1;
  }
  if (bytes <= header->size) return block;
  // The newest block grows where it is while its chunk has room.
  if (block == last_ && bytes < kLargeBlock) {
    char* blockEnd = static_cast<char*>(block) + RoundUp(bytes);
    if (blockEnd <= end_) {
      header->size = RoundUp(bytes);
      top_ = blockEnd;
      return block;
    }
  }
  void* grown = Allocate(bytes);
  if (grown == nullptr) return nullptr;
  std::memcpy(grown, block, header->size);
  Free(block);
  return grown;
}

void TidyArena::Free(void* block) {
  if (block == nullptr) return;
  Header* header = HeaderOf(block);
  if (header->large) {
    std::free(header);
    return;
  }
  // Only the newest block is taken back; the rest goes with the arena.
  if (block == last_) {
    top_ = reinterpret_cast<char*>(header);
    last_ = nullptr;
  }
}
