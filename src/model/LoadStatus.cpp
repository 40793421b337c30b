#include "model/LoadStatus.h"

std::uint32_t lastSaveStatus = 0;

const char* tolmira::statusName(std::uint32_t status) {
  if (status == 0) return nullptr;
  struct Named {
    std::uint32_t bit;
    const char* name;
  };
  static const Named order[] = {
      {LSF_ERROR, "LSF_ERROR"},
      {LSF_ERROR_ID, "LSF_ERROR_ID"},
      {LSF_ERROR_VERSION, "LSF_ERROR_VERSION"},
      {LSF_DISK_IS_FULL, "LSF_DISK_IS_FULL"},
      {LSF_CAN_NOT_OPEN, "LSF_CAN_NOT_OPEN"},
      {LSF_BUFFER_IS_FULL, "LSF_BUFFER_IS_FULL"},
      {LSF_DATA_IS_NOT_CORRECT, "LSF_DATA_IS_NOT_CORRECT"},
  };
  for (const Named& n : order)
    if (status & n.bit) return n.name;
  return "LSF_UNKNOWN";
}
