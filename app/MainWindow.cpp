// The window procedure of Form1 and of the three controls it subclasses. Each message is one
// line in a switch that names its handler; the handlers only translate the message and call the
// component that owns the behaviour.
#include "app/MainWindow.h"

#include <optional>
#include <string_view>
#include <utility>

#include "app/Dpi.h"
#include "app/TaskbarProgress.h"
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
// Posted by the batch runner's worker.
constexpr UINT kBatchMessage = WM_APP + 1;
// Disabled while a batch runs: nothing may start a second one or change what the first moves.
constexpr std::array kBatchLocked = {ControlId::Command4, ControlId::Command5, ControlId::List1,
                                     ControlId::List2};

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

// Runs a message handler. Anything it throws stops here, as `failed`: unwinding through user32,
// which cannot pass an exception on, would end the program in the middle of a move.
template <typename Handler>
LRESULT guarded(Handler&& handler, LRESULT failed) noexcept
{
#if defined(__cpp_exceptions) || defined(_CPPUNWIND)
    try {
        return handler();
    } catch (...) {
        OutputDebugStringW(L"Fenrallo: a message handler failed\n");
        return failed;
    }
#else
    static_cast<void>(failed);
    return handler();
#endif
}

// Ctrl+V, and Shift+Insert as everywhere else in Windows.
bool isPasteKey(WPARAM key)
{
    return (key == 'V' && GetKeyState(VK_CONTROL) < 0) ||
           (key == VK_INSERT && GetKeyState(VK_SHIFT) < 0);
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
    Components(PlatformServices& platform, win32::Win32BatchRunner::Observer& observer, HWND window,
               HWND list1, HWND list2, HWND text1)
        : runner(window, kBatchMessage, observer),
          taskbar(window),
          sourceBox(list1),
          targetBox(list2),
          logBox(text1, RunLog::kRed),
          log(logBox),
          sources(sourceBox, log),
          targets(targetBox),
          mover(platform, runner, sources, targets, log),
          opener(platform)
    {
    }
    // The worker's batch refers to what is declared after the runner: it ends first.
    ~Components() { runner.stopAndWait(); }
    Components(const Components&) = delete;
    Components& operator=(const Components&) = delete;

    win32::Win32BatchRunner runner;
    TaskbarProgress taskbar;
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
        return DefWindowProcW(window, message, wParam, lParam);
    }
    return guarded([&] { return self->handleMessage(message, wParam, lParam); }, 0);
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
    return guarded(
        [&] {
            const std::optional<LRESULT> handled =
                self->handleControlMessage(id, message, wParam, lParam);
            if (handled) {
                return *handled;
            }
            const LRESULT result = CallWindowProcW(original, child, message, wParam, lParam);
            // Once the edit has taken in new text, the log shows its end, where the newest line
            // is; the wheel scrolls the edit itself, and its bar follows.
            if (id == ControlId::Text1 && message == WM_SETTEXT) {
                self->logScrollBar_.showEnd();
            } else if (id == ControlId::Text1 && message == WM_MOUSEWHEEL) {
                self->logScrollBar_.sync();
            }
            return result;
        },
        0);
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
    case kBatchMessage: components_->runner.onMessage(wParam); return 0;
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
        // Keyboard equivalents of a drop and of a double-click.
        if (message == WM_PASTE || (message == WM_KEYDOWN && isPasteKey(wParam))) {
            return onPaste(id);
        }
        if (message == WM_CHAR && wParam == 0x16) {
            return 0;  // Ctrl+V's character: no entry to search for by its first letter
        }
        if (id == ControlId::List1 && message == WM_KEYDOWN && wParam == VK_DELETE) {
            components_->sources.onDoubleClick();
            return 0;
        }
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
    win32::Win32BatchRunner::Observer& observer = *this;
    components_ =
        std::make_unique<Components>(platform_, observer, window_, control(ControlId::List1),
                                     control(ControlId::List2), control(ControlId::Text1));
    const UINT dpi = dpiOfWindow(window_);
    placeWindow(dpi);
    layoutControls(dpi);
    runLoadSetup();
    return 0;
}

bool MainWindow::createControls()
{
    // Creation order is z-order, which is both the order Tab visits the controls in and how
    // screen readers name a list: after the label just before it.
    for (const ControlRow& entry : kControls) {
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
    // Drops and keys arrive at the list boxes themselves, and focus and clicks at the log.
    for (const ControlId id : {ControlId::List1, ControlId::List2, ControlId::Text1}) {
        const HWND child = control(id);
        SetWindowLongPtrW(child, GWLP_USERDATA, GetWindowLongPtrW(child, GWLP_WNDPROC));
        SetWindowLongPtrW(child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(controlProc));
    }
    // Run as administrator, the program would otherwise never see drops from the file manager,
    // which runs with less privilege (0x49 carries the drop's data between the two).
    for (const ControlId id : {ControlId::List1, ControlId::List2}) {
        for (const UINT message : {UINT{WM_DROPFILES}, UINT{WM_COPYDATA}, UINT{0x0049}}) {
            ChangeWindowMessageFilterEx(control(id), message, MSGFLT_ALLOW, nullptr);
        }
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

    // The class icons fit the system DPI; the caption and the taskbar want the monitor's.
    // LR_SHARED would hand back the first size loaded, so these are loaded and owned here.
    const std::array<std::pair<int, int>, kIconCount> sizes = {
        {{ICON_SMALL, SM_CXSMICON}, {ICON_BIG, SM_CXICON}}};
    std::array<IconHandle, kIconCount> icons;
    for (std::size_t i = 0; i < icons.size(); ++i) {
        const int size = systemMetricForDpi(sizes[i].second, dpi);
        icons[i] = IconHandle(static_cast<HICON>(
            LoadImageW(instance_, MAKEINTRESOURCEW(kIconId), IMAGE_ICON, size, size, 0)));
        SendMessageW(window_, WM_SETICON, static_cast<WPARAM>(sizes[i].first),
                     reinterpret_cast<LPARAM>(icons[i].get()));
    }
    icons_ = std::move(icons);
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
    // The dialog manager turns Enter into IDOK unless the focused button is the default one,
    // which only Tab makes it: Enter presses the focused button however it got the focus.
    const HWND focus = GetFocus();
    ControlId focused{};
    if (commandId == IDOK && focus != nullptr && GetParent(focus) == window_ &&
        controlFromCommandId(GetDlgCtrlID(focus), focused) &&
        controlRow(focused).windowClass == std::wstring_view(L"BUTTON")) {
        SendMessageW(focus, BM_CLICK, 0, 0);
        return 0;
    }
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
    HWND target = focusToRestore_ != nullptr && IsWindow(focusToRestore_)
                      ? focusToRestore_
                      : control(ControlId::List1);
    if (target != nullptr && !IsWindowEnabled(target)) {
        target = control(ControlId::Command6);
    }
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
    takePaths(list, paths);
    return 0;
}

LRESULT MainWindow::onPaste(ControlId list)
{
    if (IsClipboardFormatAvailable(CF_HDROP) && OpenClipboard(window_)) {
        // The clipboard keeps the drop: it is read, never handed back with DragFinish.
        const TextList paths = win32::droppedPaths(static_cast<HDROP>(GetClipboardData(CF_HDROP)));
        CloseClipboard();
        takePaths(list, paths);
    }
    return 0;
}

void MainWindow::takePaths(ControlId list, const TextList& paths)
{
    if (!components_ || components_->runner.busy()) {
        return;
    }
    if (list == ControlId::List1) {
        components_->sources.onDrop(paths);
    } else if (list == ControlId::List2) {
        components_->targets.onDrop(paths);
    }
}

void MainWindow::batchStarted()
{
    focusBeforeBatch_ = GetFocus();
    for (const ControlId id : kBatchLocked) {
        EnableWindow(control(id), FALSE);
    }
    // A disabled control takes no keys; the keyboard stays with the window.
    if (focusBeforeBatch_ != nullptr && IsChild(window_, focusBeforeBatch_) &&
        !IsWindowEnabled(focusBeforeBatch_)) {
        SetFocus(control(ControlId::Command6));
    }
}

void MainWindow::batchAdvanced(int tried, int total)
{
    components_->taskbar.show(tried, total);
}

void MainWindow::batchEnded()
{
    components_->taskbar.clear();
    for (const ControlId id : kBatchLocked) {
        EnableWindow(control(id), TRUE);
    }
    if (focusBeforeBatch_ != nullptr && IsChild(window_, focusBeforeBatch_)) {
        focusToRestore_ = focusBeforeBatch_;
        // Only within the window: an inactive window gets it back when it is activated.
        if (IsChild(window_, GetFocus())) {
            SetFocus(focusBeforeBatch_);
        }
    }
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
