#pragma once

namespace renpin::platform {

// Turns data execution prevention on for the rest of the process, where the system lets a
// 32-bit program choose (Windows XP SP3 and later). A 64-bit process always has it.
void enable_permanent_data_execution_prevention();

}  // namespace renpin::platform
