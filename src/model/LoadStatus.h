#pragma once

#include <cstdint>

// Status word of loading and saving a table file, the codes the instrument uses.
// The low byte is a position in a record line; the bits above it are flags.

constexpr std::uint32_t LSF_OK = 0x00000000;
constexpr std::uint32_t LSF_ERROR_VERSION = 0x00000100;  // reader: the file does not exist
constexpr std::uint32_t LSF_ERROR = 0x00000200;
constexpr std::uint32_t LSF_ERROR_ID = 0x00000400;
constexpr std::uint32_t LSF_DISK_IS_FULL = 0x00000800;
constexpr std::uint32_t LSF_CAN_NOT_OPEN = 0x00001000;
constexpr std::uint32_t LSF_BUFFER_IS_FULL = 0x00002000;
constexpr std::uint32_t LSF_DATA_IS_NOT_CORRECT = 0x00004000;
constexpr std::uint32_t LSF_UNKNOWN = 0x00008000;  // writer: closing the file failed

constexpr std::uint32_t LSF_NOT_TAB = 0x00010000;
constexpr std::uint32_t LSF_CABLE_ERROR = 0x00020000;
constexpr std::uint32_t LSF_CABLE_Ku_ERROR = 0x00040000;
constexpr std::uint32_t LSF_CABLE_Ru_ERROR = 0x00080000;
constexpr std::uint32_t LSF_CABLE_TC_ERROR = 0x00100000;
constexpr std::uint32_t LSF_CABLE_R_to_m_ERROR = 0x00200000;
constexpr std::uint32_t LSF_CABLE_TwistingFactor_ERROR = 0x00400000;
constexpr std::uint32_t LSF_MEASUREMENT_ERROR = 0x00800000;
constexpr std::uint32_t LSF_CABLE_WARNING = 0x01000000;
constexpr std::uint32_t LSF_CABLE_WARNING_NAME_IS_SO_BIGGER = 0x02000000;
constexpr std::uint32_t LSF_CABLE_WARNING_MATERIAL_NAME_IS_SO_BIGGER = 0x04000000;
constexpr std::uint32_t LSF_CABLE_WARNING_Ru_BAD_VALUE = 0x08000000;
constexpr std::uint32_t LSF_CABLE_WARNING_TC_IS = 0x10000000;
constexpr std::uint32_t LSF_CABLE_WARNING_TC_IS_DIFFERENT = 0x20000000;
constexpr std::uint32_t LSF_MEASUREMENT_WARNING_NAME_IS_SO_BIGGER = 0x40000000;

constexpr std::uint32_t LSF_POSITION_MASK = 0x000000FF;
constexpr std::uint32_t LSF_ERROR_MASK = 0x00FFFE00;    // 0x200 ... 0x800000
constexpr std::uint32_t LSF_WARNING_MASK = 0xFF000000;  // 0x1000000 ... 0x80000000
// 0x100 (missing file) belongs to neither mask.

namespace tolmira {

inline bool hasErrorBit(std::uint32_t status) { return (status & LSF_ERROR_MASK) != 0; }
inline bool hasWarningBit(std::uint32_t status) { return (status & LSF_WARNING_MASK) != 0; }

// Name of a save status for the log: nullptr for 0, else the first of LSF_ERROR,
// LSF_ERROR_ID, LSF_ERROR_VERSION, LSF_DISK_IS_FULL, LSF_CAN_NOT_OPEN,
// LSF_BUFFER_IS_FULL, LSF_DATA_IS_NOT_CORRECT whose bit is set, else LSF_UNKNOWN.
const char* statusName(std::uint32_t status);

}  // namespace tolmira

// Code of the last failure the table writer met; 0 at start, never reset.
extern std::uint32_t lastSaveStatus;
