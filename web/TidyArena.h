#pragma once
#include <tidy/tidy.h>

#include <cstddef>
#include <vector>

// A Tidy allocator for one document: small blocks come from 64 KiB chunks and are given back
// all at once when the arena goes, so a page's thousands of nodes and attribute strings cost a
// pointer bump each instead of a trip through malloc and free. Large blocks (the lexer's
// buffer), and everything once the chunks reach kChunkLimit, use malloc so that a huge page
// cannot make the arena hoard what Tidy frees. Outlive the document that uses it.
class TidyArena {
 public:
  TidyArena();
  ~TidyArena();
  TidyArena(const TidyArena&) = delete;
  TidyArena& operator=(const TidyArena&) = delete;

  // The allocator to hand to tidyCreateWithAllocator.
  TidyAllocator* allocator() { return &base_; }

  void* Allocate(size_t bytes);
  void* Reallocate(void* block, size_t bytes);
  void Free(void* block);

  // Bytes held in chunks (for tests).
  size_t chunkBytes() const { return chunkBytes_; }

  static constexpr size_t kChunkSize = 64 * 1024;
  static constexpr size_t kLargeBlock = 8 * 1024;
  static constexpr size_t kChunkLimit = 64 * 1024 * 1024;

 private:
  struct Header;
  static Header* HeaderOf(void* block);
  void* AllocateSmall(size_t bytes);
  static void* AllocateLarge(size_t bytes);
  bool NewChunk();

  TidyAllocator base_;  // first member: Tidy's callbacks cast the allocator back to the arena
  std::vector<char*> chunks_;
  char* top_ = nullptr;  // next free byte of the newest chunk
  char* end_ = nullptr;
  void* last_ = nullptr;  // the newest small block: it can grow in place, and freeing it gives its room back
  size_t chunkBytes_ = 0;
};
