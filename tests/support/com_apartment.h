#pragma once

#include <windows.h>
#include <objbase.h>

namespace renpin::test {

// A test's own COM on its thread for as long as the object lives, in a single-threaded
// apartment, as a screen reader's client thread has it.
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

}  // namespace renpin::test
