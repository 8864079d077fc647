#include "window/form1.h"

#include <commctrl.h>

#include "platform/data_execution_prevention.h"
#include "platform/dpi.h"
#include "platform/executable_directory.h"
#include "platform/notice_box.h"
#include "platform/process_start.h"
#include "platform/skin_library.h"
#include "platform/wide_text.h"
#include "platform/window_style.h"
#include "window/form_class.h"
#include "window/text_box_names.h"
#include "window/texts.h"
#include "window/wide_texts.h"

namespace renpin::window {
namespace {

constexpr wchar_t window_class_name[] = L"RenpinForm1";
constexpr DWORD window_style = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
// WM_GETDPISCALEDSIZE, sent by Windows 10 1703 and later before WM_DPICHANGED; Windows 7's
// headers lack it.
constexpr UINT get_dpi_scaled_size_message = 0x02E4;

int control_number(ControlId id) {
    return static_cast<int>(id);
}

platform::UniqueFont create_font(LOGFONTW font) {
    return platform::UniqueFont(CreateFontIndirectW(&font));
}

}  // namespace

std::unique_ptr<Form1> Form1::create(HINSTANCE instance) {
    static const ATOM window_class =
        register_form_class(instance, &Form1::window_procedure, window_class_name);
    if (window_class == 0) {
        return nullptr;
    }
    std::unique_ptr<Form1> form(new Form1());
    // The window procedure takes ownership of the handle at WM_NCCREATE.
    CreateWindowExW(0, window_class_name, wide_texts::caption.text, window_style, CW_USEDEFAULT,
                    CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr, instance,
                    form.get());
    if (!form->window_) {
        return nullptr;
    }
    return form;
}

Form1::~Form1() = default;

LRESULT CALLBACK Form1::window_procedure(HWND window, UINT message, WPARAM wparam, LPARAM lparam) {
    if (message == WM_NCCREATE) {
        auto* form = static_cast<Form1*>(reinterpret_cast<CREATESTRUCTW*>(lparam)->lpCreateParams);
        form->window_.reset(window);
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(form));
    }
    auto* form = reinterpret_cast<Form1*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (form == nullptr) {
        return DefDlgProcW(window, message, wparam, lparam);
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        form->window_.release();
        return DefDlgProcW(window, message, wparam, lparam);
    }
    return form->handle_message(message, wparam, lparam);
}

// What is not handled here goes to the dialog manager, which keeps the focus and the default
// button: Tab, Enter, the focus saved and given back when the window is switched away from and
// back to, and DM_GETDEFID.
LRESULT Form1::handle_message(UINT message, WPARAM wparam, LPARAM lparam) {
    const HWND window = handle();
    switch (message) {
        case WM_CREATE:
            return on_create() ? 0 : -1;
        case WM_COMMAND:
            on_command(LOWORD(wparam), HIWORD(wparam), reinterpret_cast<HWND>(lparam));
            return 0;
        case get_dpi_scaled_size_message:
            // The size the window takes at that DPI, so the system places it there at once and
            // WM_DPICHANGED suggests exactly that size.
            *reinterpret_cast<SIZE*>(lparam) = window_size(static_cast<UINT>(wparam));
            return TRUE;
        case WM_DPICHANGED:
            on_dpi_changed(HIWORD(wparam), *reinterpret_cast<const RECT*>(lparam));
            return 0;
        case WM_CLOSE:
            on_close();
            return 0;
        case WM_QUERYENDSESSION:
            return on_query_end_session();
        case WM_ENDSESSION:
            if (wparam != FALSE && ending_session_) {
                DestroyWindow(window);
            }
            ending_session_ = false;
            return 0;
        case WM_DESTROY:
            // A window whose creation failed never ran a message loop of its own to end.
            if (created_) {
                PostQuitMessage(0);
            }
            return 0;
        default:
            return DefDlgProcW(window, message, wparam, lparam);
    }
}

bool Form1::on_create() {
    dpi_ = platform::window_dpi(handle());
    create_fonts();
    if (!create_controls()) {
        return false;
    }
    lay_out();
    // The layout is exact in twips at every DPI; the dialog manager's own rescaling would undo it.
    platform::disable_dialog_dpi_scaling(handle());
    SendMessageW(handle(), DM_SETDEFID, control_number(ControlId::Command1), 0);
    Form_Load();
    created_ = true;
    return true;
}

void Form1::Form_Load() {
    // The skin file sits beside the executable; the library takes ANSI paths.
    const bool skin_loaded =
        platform::attach_skin(platform::executable_directory() + L"/skinh.she");
    // Skin engines build window-procedure thunks in heap memory, so the program leaves DEP to
    // the system's policy while one is loaded. Without one nothing needs to run code from data,
    // and DEP goes on for good before the window takes any input.
    if (!skin_loaded) {
        platform::enable_permanent_data_execution_prevention();
    }
    platform::remove_sizing_border(handle());
    fit_window_to_client(nullptr);
}

void Form1::show(int show_command) {
    RECT window_rect{};
    GetWindowRect(handle(), &window_rect);
    MONITORINFO monitor{};
    monitor.cbSize = sizeof(monitor);
    GetMonitorInfoW(MonitorFromWindow(handle(), MONITOR_DEFAULTTOPRIMARY), &monitor);
    const RECT& work = monitor.rcWork;
    const int width = window_rect.right - window_rect.left;
    const int height = window_rect.bottom - window_rect.top;
    SetWindowPos(handle(), nullptr, work.left + (work.right - work.left - width) / 2,
                 work.top + (work.bottom - work.top - height) / 2, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ShowWindow(handle(), show_command);
    SendMessageW(handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control(ControlId::Command1)),
                 TRUE);
    UpdateWindow(handle());
}

HWND Form1::control(ControlId id) const {
    return GetDlgItem(handle(), control_number(id));
}

void Form1::create_fonts() {
    window_font_ = create_font(control_font(ControlFont::window, dpi_));
    name_font_ = create_font(control_font(ControlFont::name_box, dpi_));
    output_font_ = create_font(control_font(ControlFont::output_box, dpi_));
}

bool Form1::create_controls() {
    const auto instance = reinterpret_cast<HINSTANCE>(GetWindowLongPtrW(handle(), GWLP_HINSTANCE));
    for (const ControlEntry& entry : form1_controls) {
        // A child window's menu is its identifier.
        const auto id = reinterpret_cast<HMENU>(static_cast<INT_PTR>(control_number(entry.id)));
        if (!CreateWindowExW(0, entry.window_class, entry.caption, entry.style, 0, 0, 0, 0,
                             handle(), id, instance, nullptr)) {
            return false;
        }
    }
    // Frames go to the bottom of the z-order so they never paint over the controls inside
    // them; they take no focus, so the tab order of the other controls is unchanged.
    for (const ControlId frame : {ControlId::Frame1, ControlId::Frame2, ControlId::Frame3}) {
        SetWindowPos(control(frame), HWND_BOTTOM, 0, 0, 0, 0,
                     SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    }
    // Names and reports of any length: an edit box otherwise stops at 30,000 characters.
    SendMessageW(control(ControlId::Text1), EM_SETLIMITTEXT, 0, 0);
    SendMessageW(control(ControlId::Text2), EM_SETLIMITTEXT, 0, 0);
    const HWND status_bar = control(ControlId::StatusBar1);
    int part_edges[] = {-1};
    SendMessageW(status_bar, SB_SETPARTS, 1, reinterpret_cast<LPARAM>(part_edges));
    SendMessageW(status_bar, SB_SETTEXTW, 0,
                 reinterpret_cast<LPARAM>(control_entry(ControlId::StatusBar1).caption));
    name_text_boxes(handle(), accessibility_);
    return true;
}

void Form1::lay_out() {
    for (const ControlEntry& entry : form1_controls) {
        const HWND child = control(entry.id);
        const HFONT font = entry.font == ControlFont::name_box     ? name_font_.get()
                           : entry.font == ControlFont::output_box ? output_font_.get()
                                                                   : window_font_.get();
        SendMessageW(child, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
        RECT rect = control_rect(entry, dpi_);
        if (entry.id == ControlId::Label1) {
            // The disclaimer is as large as its text in its font.
            // Without a device context it keeps the size of the table.
            if (const HDC context = GetDC(child)) {
                const HGDIOBJ previous = SelectObject(context, font);
                SIZE text{};
                GetTextExtentPoint32W(context, entry.caption, lstrlenW(entry.caption), &text);
                SelectObject(context, previous);
                ReleaseDC(child, context);
                rect.right = rect.left + text.cx;
                rect.bottom = rect.top + text.cy;
            }
        }
        MoveWindow(child, rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top,
                   TRUE);
    }
}

SIZE Form1::client_size(UINT dpi) {
    return {twips_to_pixels(form_client_width_twips, dpi),
            twips_to_pixels(form_client_height_twips, dpi)};
}

SIZE Form1::window_size(UINT dpi) const {
    const SIZE client = client_size(dpi);
    const auto style = static_cast<DWORD>(GetWindowLongPtrW(handle(), GWL_STYLE));
    const auto ex_style = static_cast<DWORD>(GetWindowLongPtrW(handle(), GWL_EXSTYLE));
    const RECT outer =
        platform::window_rect_for_client({0, 0, client.cx, client.cy}, style, ex_style, dpi);
    return {outer.right - outer.left, outer.bottom - outer.top};
}

void Form1::fit_window_to_client(const POINT* top_left) {
    const SIZE outer = window_size(dpi_);
    UINT flags = SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED;
    if (top_left == nullptr) {
        flags |= SWP_NOMOVE;
    }
    SetWindowPos(handle(), nullptr, top_left ? top_left->x : 0, top_left ? top_left->y : 0,
                 outer.cx, outer.cy, flags);

    // A frame that differs from the system's metrics (a skin, a frame not yet at the new DPI)
    // leaves the client area off by its difference; one correction makes it exact.
    const SIZE client = client_size(dpi_);
    RECT actual{};
    GetClientRect(handle(), &actual);
    const int missing_width = client.cx - actual.right;
    const int missing_height = client.cy - actual.bottom;
    if (missing_width != 0 || missing_height != 0) {
        RECT window{};
        GetWindowRect(handle(), &window);
        SetWindowPos(handle(), nullptr, 0, 0, window.right - window.left + missing_width,
                     window.bottom - window.top + missing_height,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    }
}

void Form1::on_dpi_changed(UINT dpi, const RECT& suggested) {
    dpi_ = dpi;
    // The controls let go of the old fonts in lay_out(); they are deleted only after that.
    const platform::UniqueFont old_fonts[] = {std::move(window_font_), std::move(name_font_),
                                              std::move(output_font_)};
    create_fonts();
    lay_out();
    const POINT top_left{suggested.left, suggested.top};
    fit_window_to_client(&top_left);
    InvalidateRect(handle(), nullptr, TRUE);
}

void Form1::on_command(int id, int notification, HWND control) {
    switch (notification) {
        case BN_CLICKED:
        // The buttons report their focus, so the second click of a double click arrives as this
        // notification instead; it is a click all the same.
        case BN_DOUBLECLICKED:
            on_click(id);
            break;
        case BN_SETFOCUS:
            on_control_focused(control, true);
            break;
        case EN_SETFOCUS:
            on_control_focused(control, false);
            break;
        default:
            break;
    }
}

void Form1::on_click(int id) {
    // A button clicked by another program while a notice is open waits, as the user must.
    if (notice_open_) {
        return;
    }
    switch (static_cast<ControlId>(id)) {
        case ControlId::Command1:
            Command1_Click();
            break;
        case ControlId::Command2:
            Command2_Click();
            break;
        case ControlId::Command3:
            Command3_Click();
            break;
        case ControlId::Command4:
            Command4_Click();
            break;
        default:
            break;
    }
}

// The dialog manager moves the default border with the focus when it moves the focus itself (Tab,
// Shift+Tab). On Windows a push button takes the border when a click gives it the focus, and
// gives it back when the focus moves on; Wine's buttons do not. Every focus change is therefore
// passed on to the dialog manager: a push button is made the focused control, which gives it the
// border, and a box gives it back to the default button. Neither moves the focus or the caret.
void Form1::on_control_focused(HWND control, bool push_button) {
    if (push_button) {
        SendMessageW(handle(), WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(control), TRUE);
    } else {
        SendMessageW(handle(), DM_SETDEFID, control_number(ControlId::Command1), 0);
    }
}

void Form1::on_close() {
    // A second request while a notice is open asks nothing more: the open notice has the answer.
    if (notice_open_) {
        return;
    }
    if (Form_QueryUnload()) {
        DestroyWindow(handle());
    }
}

BOOL Form1::on_query_end_session() {
    // The system waits for the answer and shows the reason beside the program's name meanwhile.
    if (!shutdown_block_) {
        shutdown_block_.emplace(handle(), L"人品计算器正在等待您回答它的提示框。");
    }
    if (notice_open_) {
        // Log-off or shut-down arrived inside an open notice's modal loop: the user answers that
        // notice first, and the session waits.
        ending_session_ = false;
        return FALSE;
    }
    ending_session_ = Form_QueryUnload();
    return ending_session_ ? TRUE : FALSE;
}

bool Form1::Form_QueryUnload() {
    const NoticeResult answer = show_notice(texts::close_question, texts::close_question_title,
                                            NoticeIcon::information, NoticeButtons::yes_no);
    return answer == NoticeResult::yes;
}

void Form1::Command1_Click() {
    run_query(*this);
}

void Form1::Command2_Click() {
    set_name_text(u"");
    set_output_text(u"");
}

void Form1::Command3_Click() {
    if (!platform::start_explorer(maker_page)) {
        show_notice(u"无法打开阿朴博客，请在浏览器中访问：\r\n" + platform::to_u16(maker_page),
                    u"k-Vem阿朴提示", NoticeIcon::error, NoticeButtons::ok);
    }
}

void Form1::Command4_Click() {
    SendMessageW(handle(), WM_CLOSE, 0, 0);
}

std::u16string Form1::name_text() const {
    return platform::to_u16(platform::window_text(control(ControlId::Text1)));
}

void Form1::set_name_text(std::u16string_view text) {
    SetWindowTextW(control(ControlId::Text1), platform::to_wide(text).c_str());
}

std::u16string Form1::output_text() const {
    return platform::to_u16(platform::window_text(control(ControlId::Text2)));
}

void Form1::set_output_text(std::u16string_view text) {
    SetWindowTextW(control(ControlId::Text2), platform::to_wide(text).c_str());
}

NoticeResult Form1::show_notice(std::u16string_view text, std::u16string_view title,
                                NoticeIcon icon, NoticeButtons buttons) {
    notice_open_ = true;
    const NoticeResult answer = platform::show_notice_box(handle(), text, title, icon, buttons);
    notice_open_ = false;
    shutdown_block_.reset();
    return answer;
}

}  // namespace renpin::window
