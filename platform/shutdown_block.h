#pragma once

#include <windows.h>

namespace renpin::platform {

// While it lives, a system that is logging off or shutting down shows `reason` beside the
// window's program, so the user knows what holds the session up. Where the system has no such
// list (before Windows Vista), it does nothing.
class ShutdownBlock {
  public:
    ShutdownBlock(HWND window, const wchar_t* reason);
    ~ShutdownBlock();
    ShutdownBlock(const ShutdownBlock&) = delete;
    ShutdownBlock& operator=(const ShutdownBlock&) = delete;

  private:
    HWND window_;
    bool created_;
};

}  // namespace renpin::platform
