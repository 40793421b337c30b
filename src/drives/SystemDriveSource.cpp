#include "drives/DriveSource.h"

#include "drives/MountTableSource.h"
#include "drives/WindowsDriveSource.h"

using namespace tolmira;

std::unique_ptr<DriveSource> tolmira::systemDriveSource() {
#ifdef _WIN32
  return std::make_unique<WindowsDriveSource>();
#else
  return std::make_unique<MountTableSource>();
#endif
}
