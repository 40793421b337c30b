#include "drives/MountTableSource.h"

#ifndef _WIN32

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <sstream>
#include <utility>

#include <dirent.h>
#include <limits.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include "drives/FatBootSector.h"

using namespace tolmira;

namespace {

// FAT12 and FAT16 have fewer clusters than this; Windows calls both "FAT".
constexpr std::uint64_t kFat32MinClusters = 65525;

bool systemStatFs(const std::string& mountPoint, VolumeSpace& out) {
  struct statvfs st;
  if (::statvfs(mountPoint.c_str(), &st) != 0) return false;
  out.fragmentSize = st.f_frsize ? st.f_frsize : st.f_bsize;
  out.blocks = st.f_blocks;
  out.blocksFree = st.f_bfree;
  out.blocksAvailable = st.f_bavail;
  out.nameMax = static_cast<std::uint32_t>(st.f_namemax);
  return true;
}

// "\040" and the like, as the kernel writes blanks, tabs and backslashes.
std::string unescapeOctal(const std::string& s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && i + 3 < s.size() && s[i + 1] >= '0' && s[i + 1] <= '3' && s[i + 2] >= '0' &&
        s[i + 2] <= '7' && s[i + 3] >= '0' && s[i + 3] <= '7') {
      out += static_cast<char>((s[i + 1] - '0') * 64 + (s[i + 2] - '0') * 8 + (s[i + 3] - '0'));
      i += 3;
    } else {
      out += s[i];
    }
  }
  return out;
}

// "\x20" and the like, as udev writes the names in /dev/disk/by-label.
std::string unescapeHex(const std::string& s) {
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    if (s[i] == '\\' && i + 3 < s.size() && s[i + 1] == 'x' &&
        std::isxdigit(static_cast<unsigned char>(s[i + 2])) &&
        std::isxdigit(static_cast<unsigned char>(s[i + 3]))) {
      out += static_cast<char>(std::strtol(s.substr(i + 2, 2).c_str(), nullptr, 16));
      i += 3;
    } else {
      out += s[i];
    }
  }
  return out;
}

std::string readText(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

std::string realPath(const std::string& path) {
  char buf[PATH_MAX];
  return ::realpath(path.c_str(), buf) ? std::string(buf) : std::string();
}

bool isDirectory(const std::string& path) {
  struct stat st;
  return ::stat(path.c_str(), &st) == 0 && S_ISDIR(st.st_mode);
}

std::string baseName(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

std::string parentOf(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos || slash == 0 ? std::string("/") : path.substr(0, slash);
}

bool isFatType(const std::string& fsType) {
  return fsType == "vfat" || fsType == "msdos" || fsType == "fuse.fusefat";
}

bool isRemoteType(const std::string& fsType) {
  static const char* const remote[] = {
      "nfs",         "nfs4",      "cifs",        "smb3",           "smbfs",
      "ncpfs",       "9p",        "afs",         "ceph",           "coda",
      "glusterfs",   "lustre",    "davfs",       "fuse.sshfs",     "fuse.glusterfs",
      "fuse.rclone", "fuse.s3fs", "fuse.davfs2", "fuse.gvfsd-fuse"};
  return std::find(std::begin(remote), std::end(remote), fsType) != std::end(remote);
}

// The device node a mount source names, without its /dev/ links.
std::string deviceName(const std::string& source) {
  if (source.rfind("/dev/", 0) != 0) return std::string();
  const std::string real = realPath(source);
  return baseName(real.empty() ? source : real);
}

}  // namespace

MountTableSource::MountTableSource() : MountTableSource(Options()) {}

MountTableSource::MountTableSource(Options options) : options_(std::move(options)) {
  if (!options_.statFs) options_.statFs = systemStatFs;
}

bool MountTableSource::isPseudoFileSystem(const std::string& fsType) {
  static const char* const pseudo[] = {
      "proc",       "sysfs",      "devtmpfs",  "devpts", "cgroup",      "cgroup2",
      "securityfs", "debugfs",    "tracefs",   "pstore", "bpf",         "mqueue",
      "hugetlbfs",  "configfs",   "fusectl",   "autofs", "binfmt_misc", "efivarfs",
      "nsfs",       "rpc_pipefs", "selinuxfs", "usbfs",  "nfsd"};
  return std::find(std::begin(pseudo), std::end(pseudo), fsType) != std::end(pseudo);
}

std::vector<MountEntry> MountTableSource::parseMountTable(const std::string& text) {
  std::vector<MountEntry> entries;
  std::istringstream lines(text);
  std::string line;
  while (std::getline(lines, line)) {
    std::istringstream fields(line);
    MountEntry e;
    if (!(fields >> e.source >> e.mountPoint >> e.fsType)) continue;
    e.source = unescapeOctal(e.source);
    e.mountPoint = unescapeOctal(e.mountPoint);
    entries.push_back(std::move(e));
  }
  return entries;
}

DriveSource::DriveSet MountTableSource::currentSet() {
  byRoot_.clear();
  for (MountEntry& e : parseMountTable(readText(options_.mountsPath))) {
    if (isPseudoFileSystem(e.fsType) || e.mountPoint.empty() || e.mountPoint[0] != '/') continue;
    std::string root = e.mountPoint;
    if (root.back() != '/') root += '/';
    // A later mount on the same point hides the earlier one.
    byRoot_[root] = std::move(e);
  }
  DriveSet set;
  for (const auto& item : byRoot_) set.roots.push_back(item.first);
  return set;
}

std::vector<DriveInfo> MountTableSource::drives(const DriveSet& set) {
  std::vector<DriveInfo> list;
  for (const std::string& root : set.roots) {
    const auto found = byRoot_.find(root);
    if (found == byRoot_.end()) {
      DriveInfo gone;  // unmounted since the set was taken
      gone.root = root;
      list.push_back(gone);
      continue;
    }
    list.push_back(describe(found->second, root));
  }
  return list;
}

DriveInfo MountTableSource::describe(const MountEntry& entry, const std::string& root) const {
  DriveInfo d;
  d.root = root;
  d.ready = isDirectory(entry.mountPoint) && ::access(entry.mountPoint.c_str(), R_OK | X_OK) == 0;
  if (!d.ready) return d;
  d.type = driveType(entry);
  if (d.type != kDriveFixed && d.type != kDriveRemovable) return d;

  VolumeSpace space;
  if (!options_.statFs(entry.mountPoint, space)) return d;
  d.freeToCaller = space.blocksAvailable * space.fragmentSize;
  d.totalBytes = space.blocks * space.fragmentSize;
  d.totalFree = space.blocksFree * space.fragmentSize;
  d.maxComponentLength = space.nameMax;
  if (isFatType(entry.fsType)) {
    // FAT reports its clusters as the blocks.
    d.fileSystem = space.blocks < kFat32MinClusters ? "FAT" : "FAT32";
    FatBootSector boot;
    if (readFatBootSector(entry.source, boot)) {
      d.volumeLabel = boot.label;
      d.serialNumber = boot.serialNumber;
    } else {
      d.volumeLabel = labelOf(entry.source);
    }
  } else {
    d.fileSystem = entry.fsType;
    d.volumeLabel = labelOf(entry.source);
  }
  return d;
}

std::int32_t MountTableSource::driveType(const MountEntry& entry) const {
  const std::string& fs = entry.fsType;
  if (fs == "iso9660" || fs == "udf") return kDriveCdRom;
  if (fs == "tmpfs" || fs == "ramfs") return kDriveRamDisk;
  if (isRemoteType(fs)) return kDriveRemote;
  if (removableDevice(entry.source)) return kDriveRemovable;
  return kDriveFixed;
}

bool MountTableSource::removableDevice(const std::string& source) const {
  const std::string name = deviceName(source);
  if (name.empty()) return false;
  const std::string node = realPath(options_.sysRoot + "/class/block/" + name);
  if (node.empty()) return false;
  // A partition's flags are those of the disk that holds it.
  const std::string disk =
      ::access((node + "/partition").c_str(), F_OK) == 0 ? parentOf(node) : node;
  if (readText(disk + "/removable").rfind('1', 0) == 0) return true;
  return disk.find("/usb") != std::string::npos;
}

std::string MountTableSource::labelOf(const std::string& source) const {
  const std::string device = realPath(source);
  if (device.empty()) return std::string();
  DIR* dir = ::opendir(options_.labelsDir.c_str());
  if (!dir) return std::string();
  std::string label;
  while (const dirent* e = ::readdir(dir)) {
    const std::string name = e->d_name;
    if (name == "." || name == "..") continue;
    if (realPath(options_.labelsDir + "/" + name) == device) {
      label = unescapeHex(name);
      break;
    }
  }
  ::closedir(dir);
  if (label.size() > 255) label.resize(255);
  return label;
}

#endif  // _WIN32
