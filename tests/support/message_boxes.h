#pragma once

#include <windows.h>

#include <atomic>
#include <string>
#include <thread>
#include <vector>

namespace renpin::test {

inline constexpr wchar_t message_box_class[] = L"#32770";

// A message box as a user saw it.
struct SeenMessageBox {
    std::wstring title;
    std::wstring text;

    bool operator==(const SeenMessageBox&) const = default;
};

// Reads the message box and presses the button with `button_id` (IDOK, IDYES, IDNO), as a
// user would; returns what it showed. Does not wait for the box to go.
SeenMessageBox answer_message_box(HWND box, int button_id);

// Watches, on a thread of its own, for the next message box of this process, reads it, and
// presses the button with `button_id`.
class MessageBoxAnswerer {
  public:
    explicit MessageBoxAnswerer(int button_id);
    ~MessageBoxAnswerer();
    MessageBoxAnswerer(const MessageBoxAnswerer&) = delete;
    MessageBoxAnswerer& operator=(const MessageBoxAnswerer&) = delete;

    // Waits for the watcher to finish; returns what it saw, if it saw a message box in time.
    std::vector<SeenMessageBox> finish();

  private:
    void watch(int button_id);

    std::atomic<bool> stop_{false};
    std::vector<SeenMessageBox> seen_;
    std::thread thread_;
};

}  // namespace renpin::test
