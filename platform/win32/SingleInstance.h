#pragma once
// The single-instance marker: a named mutex that the first instance creates
// and holds until the process ends.
namespace ostrel::win32 {

enum class InstanceRole { First, Another };

// Opens the marker, then creates it; Another when either step finds it there.
// A first instance keeps its handle for the rest of the process's life.
InstanceRole claimInstance(const char* markerName);

// The creating step alone: Another when the marker already exists, which is
// how the later of two starts at the same moment learns of the other.
InstanceRole createInstanceMarker(const char* markerName);

}  // namespace ostrel::win32
