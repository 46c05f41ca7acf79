#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "platform/ascii.h"

namespace render {

// Named resources shared by everybody who loaded them. Every successful
// load (a new resource or one found here) counts one reference; release
// gives one back, and the last release destroys the resource. T has
// name() returning its cache name; names compare without regard to case.
template <class T>
class ResourceCache {
 public:
  // The resource of that name, without adding a reference; nullptr when
  // there is none.
  T* find(std::string_view name) const {
    for (const Entry& entry : entries_) {
      if (platform::equals_ignore_ascii_case(entry.resource->name(), name)) return entry.resource.get();
    }
    return nullptr;
  }

  // Takes in a new resource with one reference, newest first.
  T* add(std::unique_ptr<T> resource) {
    if (!resource) return nullptr;
    entries_.insert(entries_.begin(), Entry{std::move(resource), 1});
    return entries_.front().resource.get();
  }

  // One more reference to a cached resource (a load that found it); false
  // for a resource the cache does not hold.
  bool acquire(const T* resource) {
    Entry* entry = entry_of(resource);
    if (entry == nullptr) return false;
    ++entry->references;
    return true;
  }

  // Gives back one reference; the last one destroys the resource. False for
  // a resource the cache does not hold.
  bool release(const T* resource) {
    Entry* entry = entry_of(resource);
    if (entry == nullptr) return false;
    if (--entry->references == 0) {
      entries_.erase(entries_.begin() + (entry - entries_.data()));
    }
    return true;
  }

  int references(const T* resource) const {
    for (const Entry& entry : entries_) {
      if (entry.resource.get() == resource) return entry.references;
    }
    return 0;
  }
  std::size_t size() const { return entries_.size(); }

  template <class F>
  void for_each(F f) {
    for (Entry& entry : entries_) f(*entry.resource);
  }

 private:
  struct Entry {
    std::unique_ptr<T> resource;
    int references = 0;
  };

  Entry* entry_of(const T* resource) {
    for (Entry& entry : entries_) {
      if (entry.resource.get() == resource) return &entry;
    }
    return nullptr;
  }

  std::vector<Entry> entries_;
};

}  // namespace render
