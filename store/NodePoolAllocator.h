#pragma once
#include <boost/pool/pool.hpp>

#include <cstddef>
#include <memory>
#include <new>
#include <type_traits>

// The pool behind a NodePoolAllocator and its rebound copies. It takes the size of the first
// single object allocated, which in a node container is a node; single objects of another
// size go to operator new.
struct NodePool {
  std::size_t nodeSize = 0;
  std::unique_ptr<boost::pool<boost::default_user_allocator_new_delete>> pool;
};

// An allocator for a node container whose nodes live as long as the container: single nodes
// of the pool's size come from that pool, everything else (a hash map's bucket array) from
// operator new. The URL map's nodes are made by the worker threads; from the C library's
// per-thread heaps they were strewn among every page's short-lived blocks, whose free lists
// then grew longer the larger the crawl. A container and its copies share one pool, which
// goes with the last of them, so a reset gives the memory back.
// Not thread-safe: the container's own lock must cover every insert, erase and destruction.
template <class T>
class NodePoolAllocator {
 public:
  using value_type = T;
  using propagate_on_container_copy_assignment = std::true_type;
  using propagate_on_container_move_assignment = std::true_type;
  using propagate_on_container_swap = std::true_type;

  static NodePoolAllocator WithNewPool() {
    NodePoolAllocator allocator;
    allocator.pool_ = std::make_shared<NodePool>();
    return allocator;
  }

  NodePoolAllocator() noexcept = default;
  template <class U>
  NodePoolAllocator(const NodePoolAllocator<U>& other) noexcept : pool_(other.pool()) {}

  T* allocate(std::size_t n) {
    if (n == 1 && pool_ && pool_->nodeSize == 0) {
      pool_->pool = std::make_unique<boost::pool<boost::default_user_allocator_new_delete>>(sizeof(T), kFirstBlock,
                                                                                              kMaxBlock);
      pool_->nodeSize = sizeof(T);
    }
    if (!FromPool(n)) return static_cast<T*>(::operator new(n * sizeof(T)));
    void* node = pool_->pool->malloc();
    if (node == nullptr) throw std::bad_alloc();
    return static_cast<T*>(node);
  }

  void deallocate(T* p, std::size_t n) noexcept {
    if (FromPool(n)) {
      pool_->pool->free(p);
    } else {
      ::operator delete(p);
    }
  }

  const std::shared_ptr<NodePool>& pool() const noexcept { return pool_; }

  template <class U>
  bool operator==(const NodePoolAllocator<U>& other) const noexcept {
    return pool_ == other.pool();
  }
  template <class U>
  bool operator!=(const NodePoolAllocator<U>& other) const noexcept {
    return !(*this == other);
  }

 private:
  bool FromPool(std::size_t n) const noexcept { return n == 1 && pool_ && pool_->nodeSize == sizeof(T); }

  // Blocks of the pool: 256 nodes at first, doubling up to 65536 nodes.
  static constexpr std::size_t kFirstBlock = 256;
  static constexpr std::size_t kMaxBlock = 65536;

  std::shared_ptr<NodePool> pool_;
};
