#include "drives/DrivesLister.h"

#include <utility>

using namespace tolmira;

DrivesLister::DrivesLister(std::unique_ptr<DriveSource> source)
    : source_(source ? std::move(source) : systemDriveSource()) {}

void DrivesLister::Reset() {
  lastMask = DriveSet();
  drives.clear();
}

bool DrivesLister::Rescan(const DriveSet& previous) {
  DriveSet current = source_->currentSet();
  if (current == previous) return false;
  lastMask = std::move(current);
  drives = source_->drives(lastMask);
  return true;
}

const DriveInfo* DrivesLister::FindByRoot(const std::string& root) const {
  for (const DriveInfo& d : drives)
    if (d.root == root) return &d;
  return nullptr;
}

void DrivesLister::setSource(std::unique_ptr<DriveSource> source) {
  source_ = std::move(source);
  Reset();
}
