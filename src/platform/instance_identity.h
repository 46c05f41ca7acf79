#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace platform {

// How a running instance presents itself to the others: what a window class,
// a window title and a parent window told on the original system.
struct InstanceIdentity {
  std::string window_class;
  std::string title;
  bool has_parent = false;
  int32_t mode = 0;
  int32_t pid = 0;

  friend bool operator==(const InstanceIdentity&, const InstanceIdentity&) = default;
};

// A running instance found by InstanceRegistry::find.
struct InstanceHandle {
  InstanceIdentity identity;
  std::string address;  // where to reach it; meaningful to the registry only
};

// Whether `identity` has the class and the title asked for, ignoring ASCII
// case. An empty name matches anything.
bool identity_matches(const InstanceIdentity& identity, std::string_view window_class,
                      std::string_view title);

}  // namespace platform
