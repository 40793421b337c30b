#pragma once

#include <filesystem>
#include <map>
#include <memory>
#include <string>

#include "drives/MountTableSource.h"
#include "support/FileTestSupport.h"

// A mount table, /sys tree and statvfs answers made up in a scratch folder; the
// mount points are real folders in it, so readiness is the system's own test.
class DriveTestSystem {
 public:
  DriveTestSystem() { std::filesystem::create_directories(sysRoot()); }

  // A mounted volume; returns its mount point. existing false: the folder is missing.
  std::string mount(const std::string& name, const std::string& fsType,
                    const VolumeSpace& space = VolumeSpace(), const std::string& source = "none",
                    bool existing = true) {
    const std::string point = dir.file(name);
    if (existing) std::filesystem::create_directories(point);
    table += source + " " + escaped(point) + " " + fsType + " rw,relatime 0 0\n";
    spaces[point] = space;
    writeBytes(dir.file("mounts"), table);
    return point;
  }
  void unmountAll() {
    table.clear();
    writeBytes(dir.file("mounts"), table);
  }

  // /sys/class/block/<name> as a link into a device tree under devicePath.
  void blockDevice(const std::string& disk, const std::string& partition,
                   const std::string& devicePath, bool removable) {
    namespace fs = std::filesystem;
    const std::string diskDir = sysRoot() + "/devices/" + devicePath + "/block/" + disk;
    fs::create_directories(diskDir);
    writeBytes(diskDir + "/removable", removable ? "1\n" : "0\n");
    std::string node = diskDir;
    if (!partition.empty()) {
      node = diskDir + "/" + partition;
      fs::create_directories(node);
      writeBytes(node + "/partition", "1\n");
    }
    fs::create_directories(sysRoot() + "/class/block");
    fs::create_directory_symlink(
        node, sysRoot() + "/class/block/" + (partition.empty() ? disk : partition));
  }

  std::unique_ptr<MountTableSource> source() {
    MountTableSource::Options o;
    o.mountsPath = dir.file("mounts");
    o.sysRoot = sysRoot();
    o.labelsDir = dir.file("by-label");
    o.statFs = [this](const std::string& point, VolumeSpace& out) {
      const auto found = spaces.find(point);
      if (found == spaces.end() || found->second.fragmentSize == 0) return false;
      out = found->second;
      return true;
    };
    return std::make_unique<MountTableSource>(o);
  }

  std::string sysRoot() const { return dir.file("sys"); }

  static VolumeSpace space(std::uint64_t fragment, std::uint64_t blocks, std::uint64_t free,
                           std::uint64_t available) {
    VolumeSpace s;
    s.fragmentSize = fragment;
    s.blocks = blocks;
    s.blocksFree = free;
    s.blocksAvailable = available;
    s.nameMax = 255;
    return s;
  }

  TempDir dir;
  std::string table;
  std::map<std::string, VolumeSpace> spaces;

 private:
  static std::string escaped(const std::string& path) {
    std::string out;
    for (char c : path) out += c == ' ' ? std::string("\\040") : std::string(1, c);
    return out;
  }
};
