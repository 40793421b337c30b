#include "csv/CsvFile.h"

#include <filesystem>
#include <fstream>
#include <iterator>
#include <system_error>

#include "model/FileOpenError.h"
#include "model/NativePath.h"
#include "model/TableFileSystem.h"

using namespace tolmira;

bool tolmira::readCsvFile(const std::string& path, std::string& out) {
  out.clear();
  std::error_code ec;
  if (std::filesystem::is_directory(fsPath(path), ec)) return false;
  std::ifstream in(fsPath(path), std::ios::binary);
  if (!in) return false;
  out.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  if (in.bad()) {
    out.clear();
    return false;
  }
  return true;
}

bool tolmira::writeCsvFile(const std::string& path, const std::string& bytes) {
  // A link stays a link and its file gets the text, as with table files.
  SaveTarget target;
  try {
    target = resolveSaveTarget(path.c_str());
  } catch (const FileOpenError&) {
    return false;
  }
  const std::string scratch = target.path + ".tolmira-" + std::to_string(scratchSeed()) + ".tmp";
  {
    std::ofstream out(fsPath(scratch), std::ios::binary | std::ios::trunc);
    if (!out) return false;
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    out.close();  // a full disk may show only here
    if (!out) {
      removeFile(scratch);
      return false;
    }
  }
  if (target.exists) copyOwnerAndPermissions(scratch, target);
  if (!replaceFile(scratch, target.path)) {
    removeFile(scratch);
    return false;
  }
  return true;
}
