#pragma once

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>
#include <thread>

#include <sys/stat.h>
#include <unistd.h>

// A real FAT12 volume of the instrument's size (59 clusters of 1024 bytes, 60416
// bytes of data area), made with mkfs.fat in an image file and mounted through
// fusefat. Unmounted when it goes.
class FatImage {
 public:
  // Why images cannot be mounted here; empty when they can.
  static std::string unavailable() {
    if (::access("/dev/fuse", R_OK | W_OK) != 0) return "/dev/fuse is missing or not usable";
    for (const char* tool : {"mkfs.fat", "fusefat", "fusermount"})
      if (!run(std::string("command -v ") + tool)) return std::string(tool) + " is not installed";
    return std::string();
  }

  // The image goes to folder/name.img, its mount point is folder/name.
  FatImage(const std::string& folder, const std::string& name)
      : image_(folder + "/" + name + ".img"), mountPoint_(folder + "/" + name) {
    error_ = unavailable();
    if (!error_.empty()) return;
    ::mkdir(mountPoint_.c_str(), 0755);
    if (!run("mkfs.fat -C -S 512 -s 2 -r 16 -f 2 -g 1/1 " + quoted(image_) + " 61")) {
      error_ = "mkfs.fat failed";
      return;
    }
    if (!mount()) error_ = "fusefat could not mount " + image_;
  }
  ~FatImage() { unmount(); }
  FatImage(const FatImage&) = delete;
  FatImage& operator=(const FatImage&) = delete;

  bool ok() const { return error_.empty(); }
  const std::string& error() const { return error_; }
  const std::string& image() const { return image_; }
  const std::string& mountPoint() const { return mountPoint_; }
  // The root as the drive lister names it.
  std::string root() const { return mountPoint_ + "/"; }

  bool mount() {
    if (mounted_) return true;
    if (!run("fusefat -o rw+ " + quoted(image_) + " " + quoted(mountPoint_))) return false;
    mounted_ = waitFor(true);
    return mounted_;
  }

  // Unmounts, which also writes everything through to the image.
  bool unmount() {
    if (!mounted_) return true;
    for (int attempt = 0; attempt < 50 && mounted_; ++attempt) {
      if (run("fusermount -u " + quoted(mountPoint_))) mounted_ = !waitFor(false);
      if (mounted_) std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return !mounted_;
  }

  // A file of the volume's root as mtools reads it from the image (unmount first).
  std::string readWithMtools(const std::string& name) const {
    const std::string command = "MTOOLS_SKIP_CHECK=1 mtype -i " + quoted(image_) + " ::" + name;
    std::FILE* pipe = ::popen(command.c_str(), "r");
    if (!pipe) return std::string();
    std::string bytes;
    char buf[4096];
    std::size_t n;
    while ((n = std::fread(buf, 1, sizeof buf, pipe)) > 0) bytes.append(buf, n);
    ::pclose(pipe);
    return bytes;
  }

  static bool mtoolsInstalled() { return run("command -v mtype"); }

 private:
  static bool run(const std::string& command) {
    return std::system((command + " >/dev/null 2>&1").c_str()) == 0;
  }
  static std::string quoted(const std::string& path) { return "'" + path + "'"; }

  bool inMountTable() const {
    std::ifstream in("/proc/self/mounts");
    std::string source, point, rest;
    while (in >> source >> point && std::getline(in, rest))
      if (point == mountPoint_) return true;
    return false;
  }
  bool waitFor(bool present) const {
    for (int i = 0; i < 100; ++i) {
      if (inMountTable() == present) return true;
      std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    return false;
  }

  std::string image_;
  std::string mountPoint_;
  std::string error_;
  bool mounted_ = false;
};
