#pragma once

#include <windows.h>

#include <string>

namespace renpin::platform {

// The optional third-party skin library that restyles the window. Once loaded it stays loaded
// until the process ends: a skin engine hooks the thread and subclasses its windows, and
// unloading it while those are in place crashes the program.
class SkinLibrary {
  public:
    // Loads the library from the program's own folder or the system folders only and calls its
    // attach function with the skin file's path and an empty second string, ignoring the result.
    // The library takes ANSI paths: where the code page cannot spell the path, it gets one that
    // it can (see ansi_path). A missing library or a library without that function leaves the
    // window unskinned.
    static SkinLibrary attach(const std::wstring& skin_file);

    bool attached() const { return attached_; }

  private:
    bool attached_ = false;
};

}  // namespace renpin::platform
