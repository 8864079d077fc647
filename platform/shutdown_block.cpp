#include "platform/shutdown_block.h"

#include "platform/system_function.h"

namespace renpin::platform {
namespace {

using CreateFunction = BOOL(WINAPI*)(HWND, LPCWSTR);
using DestroyFunction = BOOL(WINAPI*)(HWND);

}  // namespace

ShutdownBlock::ShutdownBlock(HWND window, const wchar_t* reason) : window_(window) {
    static const auto create =
        system_function<CreateFunction>(L"user32.dll", "ShutdownBlockReasonCreate");
    created_ = create != nullptr && create(window, reason) != FALSE;
}

ShutdownBlock::~ShutdownBlock() {
    static const auto destroy =
        system_function<DestroyFunction>(L"user32.dll", "ShutdownBlockReasonDestroy");
    if (created_ && destroy != nullptr) {
        destroy(window_);
    }
}

}  // namespace renpin::platform
