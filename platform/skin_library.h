#pragma once

#include <string>

#include "platform/unique_handles.h"

namespace renpin::platform {

// The optional third-party skin library that restyles the window. It stays loaded for as long
// as this object lives, since the skin hooks the windows it styles.
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
    UniqueModule module_;
    bool attached_ = false;
};

}  // namespace renpin::platform
