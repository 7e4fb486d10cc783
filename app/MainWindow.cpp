// The window procedure of Form1 and of the three controls it subclasses. Each message is one
// line in a switch that names its handler; the handlers only translate the message and call the
// component that owns the behaviour.
#include "app/MainWindow.h"

#include <algorithm>
#include <numeric>
#include <optional>

#include "app/Dpi.h"
#include "lists/SourceList.h"
#include "lists/TargetList.h"
#include "log/RunLog.h"
#include "ops/BatchMover.h"
#include "ops/DefaultDirectoryOpener.h"
#include "platform/win32/DroppedPaths.h"
#include "platform/win32/Win32PlatformServices.h"
#include "platform/win32/Win32Widgets.h"

namespace fenrallo {

namespace {

const wchar_t* const kClassName = L"Fenrallo.Form1";
const wchar_t* const kInitialCaption = L"Fenrallo";
// Fixed size, no minimize or maximize box: the controls never move.
constexpr DWORD kWindowStyle = WS_OVERLAPPED | WS_CAPTION | WS_SYSMENU;
constexpr DWORD kWindowExStyle = 0;
constexpr int kIconId = 1;

std::size_t slot(ControlId id)
{
    return static_cast<std::size_t>(id);
}

bool registerWindowClass(HINSTANCE instance, WNDPROC procedure)
{
    WNDCLASSEXW windowClass{};
    if (GetClassInfoExW(instance, kClassName, &windowClass)) {
        return true;
    }
    windowClass.cbSize = sizeof windowClass;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    // Shared icons belong to the system and live as long as the class, which is the process.
    windowClass.hIcon = static_cast<HICON>(LoadImageW(
        instance, MAKEINTRESOURCEW(kIconId), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE | LR_SHARED));
    windowClass.hIconSm = static_cast<HICON>(LoadImageW(instance, MAKEINTRESOURCEW(kIconId),
                                                        IMAGE_ICON, GetSystemMetrics(SM_CXSMICON),
                                                        GetSystemMetrics(SM_CYSMICON), LR_SHARED));
    windowClass.hCursor = LoadCursorW(nullptr, IDC_ARROW);
    windowClass.hbrBackground = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(COLOR_BTNFACE + 1));
    windowClass.lpszClassName = kClassName;
    return RegisterClassExW(&windowClass) != 0;
}

bool isMouseClick(UINT message)
{
    switch (message) {
        case WM_LBUTTONDOWN:
        case WM_LBUTTONDBLCLK:
        case WM_RBUTTONDOWN:
        case WM_RBUTTONDBLCLK:
        case WM_RBUTTONUP:
        case WM_MBUTTONDOWN:
        case WM_MBUTTONDBLCLK:
            return true;
        default:
            return false;
    }
}

}  // namespace

struct MainWindow::Components {
    Components(PlatformServices& platform, HWND list1, HWND list2, HWND text1)
        : sourceBox(list1),
          targetBox(list2),
          logBox(text1, RunLog::kRed),
          log(logBox),
          sources(sourceBox, log),
          targets(targetBox),
          mover(platform, sources, targets, log),
          opener(platform)
    {
    }

    win32::Win32ListBox sourceBox;
    win32::Win32ListBox targetBox;
    win32::Win32TextBox logBox;
    RunLog log;
    SourceList sources;
    TargetList targets;
    BatchMover mover;
    DefaultDirectoryOpener opener;
};

MainWindow::MainWindow()
    : ownPlatform_(std::make_unique<win32::Win32PlatformServices>()), platform_(*ownPlatform_)
{
}

MainWindow::MainWindow(PlatformServices& platform) : platform_(platform) {}

MainWindow::~MainWindow()
{
    if (window_ != nullptr) {
        DestroyWindow(window_);
    }
}

bool MainWindow::create(HINSTANCE instance)
{
    instance_ = instance;
    if (!registerWindowClass(instance, windowProc)) {
        return false;
    }
    return CreateWindowExW(kWindowExStyle, kClassName, kInitialCaption, kWindowStyle, 0, 0, 0, 0,
                           nullptr, nullptr, instance, this) != nullptr;
}

void MainWindow::show(int showCommand)
{
    ShowWindow(window_, showCommand);
    UpdateWindow(window_);
    SetFocus(control(ControlId::List1));
}

HWND MainWindow::control(ControlId id) const
{
    return controls_[slot(id)];
}

LRESULT CALLBACK MainWindow::windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_NCCREATE) {
        const auto* creation = reinterpret_cast<const CREATESTRUCTW*>(lParam);
        auto* self = static_cast<MainWindow*>(creation->lpCreateParams);
        self->window_ = window;
        SetWindowLongPtrW(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(window, GWLP_USERDATA));
    if (self == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_NCDESTROY) {
        SetWindowLongPtrW(window, GWLP_USERDATA, 0);
        self->window_ = nullptr;
        self->controls_.fill(nullptr);
    }
    return self->handleMessage(message, wParam, lParam);
}

LRESULT CALLBACK MainWindow::controlProc(HWND child, UINT message, WPARAM wParam, LPARAM lParam)
{
    // The class's own procedure sits in the control's user data, which the system classes
    // leave to the application.
    const auto original = reinterpret_cast<WNDPROC>(GetWindowLongPtrW(child, GWLP_USERDATA));
    auto* self = reinterpret_cast<MainWindow*>(GetWindowLongPtrW(GetParent(child), GWLP_USERDATA));
    ControlId id{};
    if (self == nullptr || !controlFromCommandId(GetDlgCtrlID(child), id)) {
        return CallWindowProcW(original, child, message, wParam, lParam);
    }
    const std::optional<LRESULT> handled = self->handleControlMessage(id, message, wParam, lParam);
    if (handled) {
        return *handled;
    }
    const LRESULT result = CallWindowProcW(original, child, message, wParam, lParam);
    // The log's scroll bar follows its text once the edit has taken the new text in.
    if (id == ControlId::Text1 && message == WM_SETTEXT) {
        self->logScrollBar_.sync();
    }
    return result;
}

LRESULT MainWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    // One line per message: the switch is the window's table of contents.
    // clang-format off
    switch (message) {
    case WM_CREATE: return onCreate();
    case WM_COMMAND: return onCommand(LOWORD(wParam), HIWORD(wParam));
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT: return onControlColour(message, reinterpret_cast<HDC>(wParam),
                                                 reinterpret_cast<HWND>(lParam));
    case WM_DPICHANGED: return onDpiChanged(HIWORD(wParam), *reinterpret_cast<RECT*>(lParam));
    case WM_ACTIVATE: return onActivate(wParam, lParam);
    case WM_SETFOCUS: return onSetFocus();
    case WM_DESTROY: return onDestroy();
    default: return DefWindowProcW(window_, message, wParam, lParam);
    }
    // clang-format on
}

std::optional<LRESULT> MainWindow::handleControlMessage(ControlId id, UINT message, WPARAM wParam,
                                                        LPARAM lParam)
{
    if (message == WM_DROPFILES) {
        return onDropFiles(id, reinterpret_cast<HDROP>(wParam));
    }
    if (id != ControlId::Text1) {
        return std::nullopt;
    }
    // The log shows text and scrolls, nothing more: no caret, no selection, no menu. Clicks on
    // its scroll bar go to the bar's own window and pass.
    if (message == WM_SETFOCUS) {
        return onLogSetFocus(reinterpret_cast<HWND>(wParam));
    }
    if (isMouseClick(message) || message == WM_CONTEXTMENU) {
        return 0;
    }
    if (message == WM_VSCROLL && reinterpret_cast<HWND>(lParam) == logScrollBar_.handle()) {
        logScrollBar_.scroll(LOWORD(wParam));
        return 0;
    }
    if (message == WM_SETCURSOR && LOWORD(lParam) == HTCLIENT) {
        SetCursor(LoadCursorW(nullptr, IDC_ARROW));
        return TRUE;
    }
    return std::nullopt;
}

LRESULT MainWindow::onCreate()
{
    if (ownPlatform_) {
        ownPlatform_->setOwner(window_);
    }
    if (!createControls()) {
        return -1;
    }
    components_ = std::make_unique<Components>(
        platform_, control(ControlId::List1), control(ControlId::List2), control(ControlId::Text1));
    const UINT dpi = dpiOfWindow(window_);
    placeWindow(dpi);
    layoutControls(dpi);
    runLoadSetup();
    return 0;
}

bool MainWindow::createControls()
{
    // Creation order is z-order, and z-order is the order Tab visits the controls in.
    std::array<std::size_t, kControlCount> byTab{};
    std::iota(byTab.begin(), byTab.end(), std::size_t{0});
    std::sort(byTab.begin(), byTab.end(),
              [](std::size_t a, std::size_t b) { return kControls[a].tab < kControls[b].tab; });

    for (const std::size_t row : byTab) {
        const ControlRow& entry = kControls[row];
        const HWND created = CreateWindowExW(
            entry.exStyle, entry.windowClass, entry.text, WS_CHILD | WS_VISIBLE | entry.style, 0, 0,
            0, 0, window_,
            reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlCommandId(entry.id))), instance_,
            nullptr);
        if (created == nullptr) {
            return false;
        }
        controls_[slot(entry.id)] = created;
    }
    // Drops arrive at the list boxes themselves, and focus and clicks at the log.
    for (const ControlId id : {ControlId::List1, ControlId::List2, ControlId::Text1}) {
        const HWND child = control(id);
        SetWindowLongPtrW(child, GWLP_USERDATA, GetWindowLongPtrW(child, GWLP_WNDPROC));
        SetWindowLongPtrW(child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(controlProc));
    }
    return logScrollBar_.create(control(ControlId::Text1), instance_);
}

void MainWindow::placeWindow(UINT dpi)
{
    const RECT client{0, 0, twipsToPixels(kWindowTwips.width, dpi),
                      twipsToPixels(kWindowTwips.height, dpi)};
    const RECT frame = frameForClient(client, kWindowStyle, kWindowExStyle, dpi);
    SetWindowPos(window_, nullptr, twipsToPixels(kWindowTwips.left, dpi),
                 twipsToPixels(kWindowTwips.top, dpi), frame.right - frame.left,
                 frame.bottom - frame.top, SWP_NOZORDER | SWP_NOACTIVATE);
}

void MainWindow::layoutControls(UINT dpi)
{
    dpi_ = dpi;
    std::array<FontHandle, kFontCount> fonts;
    for (std::size_t i = 0; i < fonts.size(); ++i) {
        fonts[i] = createFont(fontRow(static_cast<FontId>(i)), dpi);
    }
    for (const ControlRow& entry : kControls) {
        const RECT place = pixelRect(entry.twips, dpi);
        const HWND child = control(entry.id);
        SetWindowPos(child, nullptr, place.left, place.top, place.right - place.left,
                     place.bottom - place.top, SWP_NOZORDER | SWP_NOACTIVATE);
        SendMessageW(child, WM_SETFONT,
                     reinterpret_cast<WPARAM>(fonts[static_cast<std::size_t>(entry.font)].get()),
                     TRUE);
    }
    // The controls hold the new fonts now, so the old ones can go.
    fonts_ = std::move(fonts);
    logScrollBar_.layout(dpi);
}

void MainWindow::runLoadSetup()
{
    win32::Win32WindowCaption caption(window_);
    caption.setCaption(caption.caption() + platform_.ProgramDirectory());
    win32::Win32Label label3(control(ControlId::Label3));
    label3.setCaption(L"默认目录： " + platform_.ProgramDirectory());
}

LRESULT MainWindow::onCommand(int commandId, int notification)
{
    ControlId id{};
    if (!controlFromCommandId(commandId, id) || !components_) {
        return 0;
    }
    if (id == ControlId::List1 && notification == LBN_DBLCLK) {
        components_->sources.onDoubleClick();
    } else if (id == ControlId::Command4 && notification == BN_CLICKED) {
        components_->mover.moveToDefaultDirectory();
    } else if (id == ControlId::Command5 && notification == BN_CLICKED) {
        components_->mover.moveToSpecifiedDirectory();
    } else if (id == ControlId::Command6 && notification == BN_CLICKED) {
        components_->opener.openDefaultDirectory();
    }
    return 0;
}

LRESULT MainWindow::onControlColour(UINT message, HDC dc, HWND child)
{
    if (child != control(ControlId::Text1) || !components_) {
        return DefWindowProcW(window_, message, reinterpret_cast<WPARAM>(dc),
                              reinterpret_cast<LPARAM>(child));
    }
    SetTextColor(dc, components_->logBox.textColour());
    SetBkColor(dc, GetSysColor(COLOR_WINDOW));
    return reinterpret_cast<LRESULT>(GetSysColorBrush(COLOR_WINDOW));
}

LRESULT MainWindow::onDpiChanged(UINT newDpi, const RECT& suggested)
{
    SetWindowPos(window_, nullptr, suggested.left, suggested.top, suggested.right - suggested.left,
                 suggested.bottom - suggested.top, SWP_NOZORDER | SWP_NOACTIVATE);
    layoutControls(newDpi);
    return 0;
}

LRESULT MainWindow::onActivate(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) == WA_INACTIVE) {
        const HWND focus = GetFocus();
        if (focus != nullptr && IsChild(window_, focus)) {
            focusToRestore_ = focus;
        }
    }
    return DefWindowProcW(window_, WM_ACTIVATE, wParam, lParam);
}

LRESULT MainWindow::onSetFocus()
{
    // Activation gives the focus to the frame, which has no use for it: pass it on to the
    // control that had it last, so Tab keeps working after a message box closes.
    const HWND target = focusToRestore_ != nullptr && IsWindow(focusToRestore_)
                            ? focusToRestore_
                            : control(ControlId::List1);
    if (target != nullptr) {
        SetFocus(target);
    }
    return 0;
}

LRESULT MainWindow::onDestroy()
{
    PostQuitMessage(0);
    return 0;
}

LRESULT MainWindow::onDropFiles(ControlId list, HDROP drop)
{
    TextList paths;
    {
        const win32::DropHandle owned(drop);
        paths = win32::droppedPaths(owned.get());
    }
    if (!components_) {
        return 0;
    }
    if (list == ControlId::List1) {
        components_->sources.onDrop(paths);
    } else if (list == ControlId::List2) {
        components_->targets.onDrop(paths);
    }
    return 0;
}

LRESULT MainWindow::onLogSetFocus(HWND previous)
{
    const HWND back =
        previous != nullptr && IsChild(window_, previous) && previous != control(ControlId::Text1)
            ? previous
            : window_;
    SetFocus(back);
    return 0;
}

}  // namespace fenrallo
