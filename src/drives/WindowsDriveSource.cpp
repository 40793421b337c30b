#include "drives/WindowsDriveSource.h"

#ifdef _WIN32

#include <string>

#include <windows.h>

using namespace tolmira;

namespace {

std::string toUtf8(const wchar_t* text) {
  const int size = ::WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
  if (size <= 1) return std::string();
  std::string out(static_cast<std::size_t>(size), '\0');
  ::WideCharToMultiByte(CP_UTF8, 0, text, -1, &out[0], size, nullptr, nullptr);
  out.resize(static_cast<std::size_t>(size - 1));
  return out;
}

DriveInfo describe(char letter) {
  DriveInfo d;
  d.letter = letter;
  d.root = std::string(1, letter) + ":\\";
  const wchar_t root[] = {static_cast<wchar_t>(letter), L':', L'\\', 0};

  // An empty card reader or CD drive must not bring up a system dialog.
  const UINT previous = ::SetErrorMode(SEM_FAILCRITICALERRORS);
  const DWORD attributes = ::GetFileAttributesW(root);
  ::SetErrorMode(previous);
  d.ready = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
  if (!d.ready) return d;

  d.type = static_cast<std::int32_t>(::GetDriveTypeW(root));
  if (d.type != kDriveFixed && d.type != kDriveRemovable) return d;

  ULARGE_INTEGER freeToCaller{}, total{}, totalFree{};
  if (::GetDiskFreeSpaceExW(root, &freeToCaller, &total, &totalFree)) {
    d.freeToCaller = freeToCaller.QuadPart;
    d.totalBytes = total.QuadPart;
    d.totalFree = totalFree.QuadPart;
  }

  wchar_t label[256] = {};
  wchar_t fileSystem[30] = {};
  DWORD serial = 0, maxComponent = 0;
  if (::GetVolumeInformationW(root, label, 255, &serial, &maxComponent, nullptr, fileSystem, 30)) {
    d.volumeLabel = toUtf8(label);
    d.serialNumber = serial;
    d.maxComponentLength = maxComponent;
    d.fileSystem = toUtf8(fileSystem);
  }
  return d;
}

}  // namespace

DriveSource::DriveSet WindowsDriveSource::currentSet() {
  DriveSet set;
  set.mask = ::GetLogicalDrives();
  return set;
}

std::vector<DriveInfo> WindowsDriveSource::drives(const DriveSet& set) {
  std::vector<DriveInfo> list;
  for (int i = 0; i < 26; ++i)
    if (set.mask & (1ul << i)) list.push_back(describe(static_cast<char>('A' + i)));
  return list;
}

#endif  // _WIN32
