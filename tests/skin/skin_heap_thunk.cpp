// Stands in for a skin engine that builds window-procedure thunks in heap memory, as engines of
// its time did: its attach function runs a few bytes of code copied into a heap block.
#include <windows.h>

#include <cstring>

namespace {

int thunk_result = 0;

}  // namespace

extern "C" {

__declspec(dllexport) int __stdcall SkinH_AttachEx(const char*, const char*) {
    // mov eax, 1; ret
    constexpr unsigned char code[] = {0xB8, 0x01, 0x00, 0x00, 0x00, 0xC3};
    void* const block = HeapAlloc(GetProcessHeap(), 0, sizeof(code));
    if (block == nullptr) {
        return -1;
    }
    std::memcpy(block, code, sizeof(code));
    FlushInstructionCache(GetCurrentProcess(), block, sizeof(code));
    // Faults where the process has DEP.
    thunk_result = reinterpret_cast<int (*)()>(block)();
    HeapFree(GetProcessHeap(), 0, block);
    return 0;
}

__declspec(dllexport) int StandIn_ThunkResult() {
    return thunk_result;
}
}
