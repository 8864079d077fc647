#include "soak.h"

#include <psapi.h>
#include <winternl.h>

#include <iterator>
#include <vector>

namespace renpin::test {
namespace {

// The layout of SystemExtendedHandleInformation, which winternl.h leaves out.
constexpr ULONG system_extended_handle_information = 64;
struct HandleEntry {
    void* object;
    ULONG_PTR process_id;
    ULONG_PTR handle_value;
    ULONG granted_access;
    USHORT creator_back_trace_index;
    USHORT object_type_index;
    ULONG attributes;
    ULONG reserved;
};
struct HandleTable {
    ULONG_PTR count;
    ULONG_PTR reserved;
    HandleEntry entries[1];
};

DWORD count_in_handle_table(DWORD process_id) {
    using Query = NTSTATUS(NTAPI*)(ULONG, void*, ULONG, ULONG*);
    const auto query = reinterpret_cast<Query>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "NtQuerySystemInformation")));
    if (query == nullptr) {
        return 0;
    }
    constexpr NTSTATUS length_mismatch = static_cast<NTSTATUS>(0xC0000004);
    std::vector<ULONG_PTR> buffer(1 << 14);
    for (;;) {
        ULONG length = 0;
        const NTSTATUS status =
            query(system_extended_handle_information, buffer.data(),
                  static_cast<ULONG>(buffer.size() * sizeof(ULONG_PTR)), &length);
        if (status == length_mismatch) {
            buffer.resize(buffer.size() * 2);
            continue;
        }
        if (status != 0) {
            return 0;
        }
        break;
    }
    const auto* table = reinterpret_cast<const HandleTable*>(buffer.data());
    DWORD count = 0;
    for (ULONG_PTR i = 0; i < table->count; ++i) {
        count += table->entries[i].process_id == process_id ? 1 : 0;
    }
    return count;
}

struct WindowCount {
    DWORD process;
    DWORD count;
};

BOOL CALLBACK count_child(HWND, LPARAM count_address) {
    ++reinterpret_cast<WindowCount*>(count_address)->count;
    return TRUE;
}

BOOL CALLBACK count_top_level(HWND window, LPARAM count_address) {
    auto* count = reinterpret_cast<WindowCount*>(count_address);
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    if (owner == count->process) {
        ++count->count;
        EnumChildWindows(window, count_child, count_address);
    }
    return TRUE;
}

}  // namespace

std::wstring soak_name(int query) {
    static constexpr const wchar_t* names[] = {
        L"张三",
        L"Tom",
        L"李四 Li Si",
        L"  spaced   out  ",
        L"\U0001F600\U0001F389",
        L"赵钱孙李\U00020000",
        L"k-Vem阿朴",
        L"菲菲",
        L"",
        L"O'Brien-Smith",
        L"欧阳 娜娜 ",
    };
    constexpr int count = static_cast<int>(std::size(names));
    std::wstring name = names[query % count];
    if ((query / count) % 2 == 1) {
        name += std::to_wstring(query);
    }
    return name;
}

ProcessResources read_process_resources(HANDLE process, DWORD process_id) {
    ProcessResources resources;
    if (GetProcessHandleCount(process, &resources.handles) && resources.handles != 0) {
        resources.handles_counted_by = "GetProcessHandleCount";
    } else {
        resources.handles_counted_by = "system_handle_table";
        resources.handles = count_in_handle_table(process_id);
    }
    resources.gdi_objects = GetGuiResources(process, GR_GDIOBJECTS);
    resources.user_objects = GetGuiResources(process, GR_USEROBJECTS);
    WindowCount windows{process_id, 0};
    EnumWindows(count_top_level, reinterpret_cast<LPARAM>(&windows));
    resources.windows = windows.count;
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof(memory);
    if (K32GetProcessMemoryInfo(process, &memory, sizeof(memory))) {
        resources.working_set = memory.WorkingSetSize;
    }
    return resources;
}

}  // namespace renpin::test
