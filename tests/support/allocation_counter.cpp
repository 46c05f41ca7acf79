#include "support/allocation_counter.h"

#include <atomic>
#include <cstdlib>
#include <new>

#if defined(__SANITIZE_ADDRESS__)
#define PT_SANITIZED_ALLOCATOR 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define PT_SANITIZED_ALLOCATOR 1
#endif
#endif

namespace {
std::atomic<long> g_allocations{0};
}  // namespace

#ifndef PT_SANITIZED_ALLOCATOR

// Every allocating form that the library would otherwise send elsewhere
// goes through malloc here, so each delete finds its own kind of block.
void* operator new(std::size_t size) {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  if (void* p = std::malloc(size == 0 ? 1 : size)) return p;
  throw std::bad_alloc();
}
void* operator new(std::size_t size, const std::nothrow_t&) noexcept {
  g_allocations.fetch_add(1, std::memory_order_relaxed);
  return std::malloc(size == 0 ? 1 : size);
}
void* operator new[](std::size_t size) { return operator new(size); }
void* operator new[](std::size_t size, const std::nothrow_t& tag) noexcept { return operator new(size, tag); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

#endif

namespace test_support {

bool allocations_counted() {
#ifdef PT_SANITIZED_ALLOCATOR
  return false;
#else
  return true;
#endif
}

long allocations() { return g_allocations.load(std::memory_order_relaxed); }

}  // namespace test_support
