#pragma once

#include <windows.h>
#include <objbase.h>

namespace renpin::platform {

// COM on this thread for as long as the object lives, in a single-threaded apartment: the
// accessible objects of the window's controls are then called on the window's own thread.
class ComApartment {
  public:
    ComApartment() : initialised_(SUCCEEDED(CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ~ComApartment() {
        if (initialised_) {
            CoUninitialize();
        }
    }
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;

  private:
    bool initialised_;
};

}  // namespace renpin::platform
