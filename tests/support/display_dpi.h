#pragma once

#include <windows.h>

#include "registry_value.h"

// The DPI of programs that a test starts, and reading their windows in pixels.
namespace renpin::test {

// The DPI that a per-monitor aware program started now gets: the system's, read from LogPixels
// as the program starts, and the primary monitor's, which its windows are laid out at. Wine 8
// gives the monitors the system DPI of each program. Wine 10 gives them the DPI that the process
// which last enumerated the displays read at its own start, and keeps it for the session where
// the displays are enumerated through XRandR: only the desktop process does that, at its start.
struct StartingDpi {
    UINT system = 0;
    UINT monitor = 0;
};

// What a program started now gets, once the display settings have been applied again from a
// process of its own, so that the LogPixels of now is what counts where Wine lets it; zeros if
// that cannot be learnt.
[[nodiscard]] StartingDpi dpi_of_programs_started_now();

// LogPixels in both places Wine reads it (the user's, and the hardware profile's fonts), for
// the programs started while the object lives; the earlier values and the DPI come back at its
// end.
class LogicalDpi {
  public:
    explicit LogicalDpi(DWORD dpi);
    ~LogicalDpi() { restore(); }
    LogicalDpi(const LogicalDpi&) = delete;
    LogicalDpi& operator=(const LogicalDpi&) = delete;

    // What programs started now get with the new values (zeros if they could not be written).
    [[nodiscard]] StartingDpi seen() const { return seen_; }

    // Puts the earlier values back and applies them; returns what programs started now get
    // again (zeros if the values could not be put back).
    StartingDpi restore();

  private:
    RegistryDword user_value_;
    RegistryDword machine_value_;
    StartingDpi seen_;
    bool restored_ = false;
    StartingDpi restored_dpi_;
};

// Makes this thread per-monitor DPI aware for the life of the object, so that it reads other
// programs' windows in their pixels: Wine 10, like Windows, scales what a thread that knows
// nothing of DPI reads to 96 DPI.
class PixelCoordinates {
  public:
    PixelCoordinates();
    ~PixelCoordinates();
    PixelCoordinates(const PixelCoordinates&) = delete;
    PixelCoordinates& operator=(const PixelCoordinates&) = delete;

  private:
    DPI_AWARENESS_CONTEXT earlier_ = nullptr;
};

}  // namespace renpin::test
