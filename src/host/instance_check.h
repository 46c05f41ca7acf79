#pragma once
#include "host/saver_mode.h"
#include "platform/instance_registry.h"

namespace host {

// The mode a running instance is in, told by its identity: the window title
// with a parent is a preview, without one free-standing; the desktop title is
// the desktop mode; anything else 0.
SaverMode instance_mode_of(const platform::InstanceIdentity& identity);

// How long a new instance waits for a running one to close.
inline constexpr int kCloseInstanceTimeoutMs = 5000;

// Decides whether this process goes on starting, given the other running
// instances: a full-screen saver never starts beside another instance; an
// instance in another mode is told to close (unless this is a preview); an
// instance in the same mode is brought to the front and this one quits.
bool check_running_instance(platform::InstanceRegistry& instances, SaverMode mode);

}  // namespace host
