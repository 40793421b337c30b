#pragma once

#include <memory>
#include <string>
#include <vector>

#include "drives/DriveInfo.h"
#include "drives/DriveSource.h"

// Takes stock of the computer's drives and tells whether the set of drives changed
// since the last scan (the instrument plugged in or out).
class DrivesLister {
 public:
  using DriveSet = DriveSource::DriveSet;

  // source none: the running system's drives.
  explicit DrivesLister(std::unique_ptr<DriveSource> source = nullptr);

  void Reset();
  // Takes the current set; when it equals previous nothing changes and the result
  // is false, otherwise the drives are listed afresh and the result is true.
  bool Rescan(const DriveSet& previous);
  bool RescanIfChanged() { return Rescan(lastMask); }

  int Count() const { return static_cast<int>(drives.size()); }
  const DriveInfo& At(int i) const { return drives[static_cast<std::size_t>(i)]; }
  // Exact comparison; null when no entry has this root.
  const DriveInfo* FindByRoot(const std::string& root) const;

  const DriveSet& lastSet() const { return lastMask; }
  void setSource(std::unique_ptr<DriveSource> source);

 private:
  std::unique_ptr<DriveSource> source_;
  DriveSet lastMask;
  std::vector<DriveInfo> drives;
};
