#pragma once

#include <windows.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "evaluation/query.h"
#include "platform/accessibility_services.h"
#include "platform/shutdown_block.h"
#include "platform/unique_handles.h"
#include "window/controls.h"

namespace renpin::window {

// The maker's web page, opened by the visit-page button; set when the program is configured.
inline constexpr wchar_t maker_page[] = L"" RENPIN_MAKER_PAGE;

// The program's only window: the name box, the output box, the buttons, the disclaimer and the
// status bar, with the handlers their events run. It is a dialog without a template: the
// system's dialog manager gives it Tab, Enter, the default button and the focus.
class Form1 final : public QueryWindow {
  public:
    // Creates the window and its controls and runs the load (skin, fixed border). The window
    // stays hidden until show(). Returns null if the window or one of its controls cannot be
    // created.
    [[nodiscard]] static std::unique_ptr<Form1> create(HINSTANCE instance);

    ~Form1() override;
    Form1(const Form1&) = delete;
    Form1& operator=(const Form1&) = delete;

    // Centres the window on its monitor's work area and shows it with the focus on the query
    // button.
    void show(int show_command);

    [[nodiscard]] HWND handle() const { return window_.get(); }
    [[nodiscard]] HWND control(ControlId id) const;

    [[nodiscard]] std::u16string name_text() const override;
    void set_name_text(std::u16string_view text);
    [[nodiscard]] std::u16string output_text() const override;
    void set_output_text(std::u16string_view text) override;
    NoticeResult show_notice(std::u16string_view text, std::u16string_view title, NoticeIcon icon,
                             NoticeButtons buttons) override;

  private:
    Form1() = default;

    static LRESULT CALLBACK window_procedure(HWND window, UINT message, WPARAM wparam,
                                             LPARAM lparam);
    LRESULT handle_message(UINT message, WPARAM wparam, LPARAM lparam);

    bool on_create();
    void on_command(int id, int notification, HWND control);
    void on_click(int id);
    void on_control_focused(HWND control, bool push_button);
    void on_close();
    BOOL on_query_end_session();
    void on_dpi_changed(UINT dpi, const RECT& suggested);

    // Event handlers.
    void Form_Load();
    bool Form_QueryUnload();
    void Command1_Click();
    void Command2_Click();
    void Command3_Click();
    void Command4_Click();

    void create_fonts();
    bool create_controls();
    void lay_out();
    // The window's client and outer size in pixels at a DPI; the client area is fixed in twips.
    [[nodiscard]] static SIZE client_size(UINT dpi);
    [[nodiscard]] SIZE window_size(UINT dpi) const;
    void fit_window_to_client(const POINT* top_left);

    UINT dpi_ = USER_DEFAULT_SCREEN_DPI;
    bool created_ = false;
    bool ending_session_ = false;
    // One notice at a time: while one is open, the window answers no other request with another.
    bool notice_open_ = false;
    // Tells a shutting-down system why the program holds it up while a notice waits for the user.
    std::optional<platform::ShutdownBlock> shutdown_block_;
    platform::UniqueFont window_font_;
    platform::UniqueFont name_font_;
    platform::UniqueFont output_font_;
    // Started on the first screen-reader request; kept until the window and its boxes are gone.
    platform::AccessibilityServices accessibility_;
    // Declared last so the window goes before the fonts it uses.
    platform::UniqueWindow window_;
};

}  // namespace renpin::window
