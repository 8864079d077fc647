#pragma once

#include <windows.h>

#include <string>

// What a long run of queries is made of and what it must not make grow.
namespace renpin::test {

// The name of the query numbered `query`: ASCII, Chinese, surrogate pairs, spaces, an empty
// name, the names with fixed answers and, every other round, a number that makes the name new.
[[nodiscard]] std::wstring soak_name(int query);

// What a process holds that a leak in the query would make grow.
struct ProcessResources {
    DWORD handles = 0;
    // GetProcessHandleCount, or where that counts nothing (Wine) the system's handle table.
    const char* handles_counted_by = "";
    DWORD gdi_objects = 0;
    DWORD user_objects = 0;
    // Top-level and child windows: the USER objects that can be counted where GetGuiResources
    // counts nothing (Wine).
    DWORD windows = 0;
    SIZE_T working_set = 0;
};

[[nodiscard]] ProcessResources read_process_resources(HANDLE process, DWORD process_id);

}  // namespace renpin::test
