// The window procedure of Form1 and of the three controls it subclasses. Each message is one
// line in a switch that names its handler; the handlers only translate the message and call the
// component that owns the behaviour.
#include "app/MainWindow.h"

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
using Runner = win32::Win32BatchRunner;

}  // namespace

struct MainWindow::Components {
    Components(PlatformServices& platform, win32::Win32BatchRunner::Observer& observer, HWND window,
               HWND list1, HWND list2, HWND text1)
        : runner(window, observer),
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
    if (!registerFormClass(instance, kClassName, windowProc)) {
        return false;
    }
    return CreateWindowExW(kFormExStyle, kClassName, kInitialCaption, kFormStyle, 0, 0, 0, 0,
                           nullptr, nullptr, instance, this) != nullptr;
}

void MainWindow::show(int showCommand)
{
    ShowWindow(window_, showCommand);
    UpdateWindow(window_);
    SetFocus(control(ControlId::List1));
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
        self->layout_.forget();
        return DefWindowProcW(window, message, wParam, lParam);
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
    if (id == ControlId::Text1) {
        self->log_.handled(message);
    }
    return result;
}

LRESULT MainWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == TaskbarProgress::buttonCreatedMessage()) {
        components_->taskbar.buttonCreated();
        return 0;
    }
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
    case WM_SETFOCUS: focus_.restore(control(ControlId::List1), control(ControlId::Command6)); return 0;
    case WM_CLOSE: return onClose();
    case WM_QUERYENDSESSION: return components_->runner.busy() ? FALSE : TRUE;
    case WM_ENDSESSION: return onEndSession(wParam != FALSE);
    case WM_DESTROY: return onDestroy();
    case Runner::kProgressMessage:
    case Runner::kEndedMessage: components_->runner.onMessage(message); return 0;
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
    if (id == ControlId::Text1) {
        return log_.filter(message, wParam, lParam);
    }
    // clang-format off
    switch (listKey(id, message, wParam)) {
    case ListKey::Paste: return onPaste(id);
    case ListKey::Remove: components_->sources.onDeleteKey(); return 0;
    case ListKey::Swallow: return 0;
    case ListKey::None: return std::nullopt;
    }
    // clang-format on
    return std::nullopt;
}

LRESULT MainWindow::onCreate()
{
    if (ownPlatform_) {
        ownPlatform_->setOwner(window_);
    }
    if (!layout_.createControls(window_, instance_)) {
        return -1;
    }
    subclassControls();
    if (!log_.create(control(ControlId::Text1), instance_)) {
        return -1;
    }
    win32::Win32BatchRunner::Observer& observer = *this;
    components_ =
        std::make_unique<Components>(platform_, observer, window_, control(ControlId::List1),
                                     control(ControlId::List2), control(ControlId::Text1));
    const UINT dpi = dpiOfWindow(window_);
    layout_.placeForm(dpi);
    layout(dpi);
    runLoadSetup();
    return 0;
}

void MainWindow::subclassControls() const
{
    // Drops and keys arrive at the list boxes themselves, and focus and clicks at the log.
    for (const ControlId id : {ControlId::List1, ControlId::List2, ControlId::Text1}) {
        const HWND child = control(id);
        SetWindowLongPtrW(child, GWLP_USERDATA, GetWindowLongPtrW(child, GWLP_WNDPROC));
        SetWindowLongPtrW(child, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(controlProc));
    }
    // Run as administrator, the program would otherwise never see drops from the file manager,
    // which runs with less privilege (0x49 carries the drop's data between the two), nor hear
    // that the shell made its taskbar button anew.
    for (const ControlId id : {ControlId::List1, ControlId::List2}) {
        for (const UINT message : {UINT{WM_DROPFILES}, UINT{WM_COPYDATA}, UINT{0x0049}}) {
            ChangeWindowMessageFilterEx(control(id), message, MSGFLT_ALLOW, nullptr);
        }
    }
    ChangeWindowMessageFilterEx(window_, TaskbarProgress::buttonCreatedMessage(), MSGFLT_ALLOW,
                                nullptr);
}

void MainWindow::layout(UINT dpi)
{
    layout_.layoutControls(dpi);
    log_.layout(dpi);
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
    // Enter presses the focused button however it got the focus.
    if (const HWND button = commandId == IDOK ? focusedButton(window_) : nullptr) {
        SendMessageW(button, BM_CLICK, 0, 0);
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
    layout(newDpi);
    return 0;
}

LRESULT MainWindow::onActivate(WPARAM wParam, LPARAM lParam)
{
    if (LOWORD(wParam) == WA_INACTIVE) {
        focus_.deactivated(window_);
    }
    return DefWindowProcW(window_, WM_ACTIVATE, wParam, lParam);
}

LRESULT MainWindow::onClose()
{
    if (!components_->runner.busy()) {
        DestroyWindow(window_);
        return 0;
    }
    // No invisible process that goes on moving files: the window stays, disabled, until the
    // worker has stopped, and closes when the batch has ended.
    closing_ = true;
    components_->runner.requestStop();
    EnableWindow(window_, FALSE);
    return 0;
}

LRESULT MainWindow::onEndSession(bool ending)
{
    // The process may be ended the moment this returns: the copy in progress is cancelled and
    // removed first, so every entry is in exactly one place by then.
    if (ending) {
        components_->runner.requestStop();
        components_->runner.waitForWorker();
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
    return takePaths(list, paths);
}

LRESULT MainWindow::onPaste(ControlId list)
{
    if (const std::optional<TextList> paths = win32::clipboardPaths(window_)) {
        takePaths(list, *paths);
    }
    return 0;
}

LRESULT MainWindow::takePaths(ControlId list, const TextList& paths)
{
    if (!components_ || components_->runner.busy()) {
        return 0;
    }
    if (list == ControlId::List1) {
        components_->sources.onDrop(paths);
    } else if (list == ControlId::List2) {
        components_->targets.onDrop(paths);
    }
    return 0;
}

void MainWindow::batchStarted()
{
    lock_.lock(window_, layout_);
}

void MainWindow::batchAdvanced(int tried, int total)
{
    components_->taskbar.show(tried, total);
}

void MainWindow::batchEnded()
{
    components_->taskbar.clear();
    if (const HWND back = lock_.unlock(window_, layout_)) {
        focus_.remember(back);
    }
    if (closing_) {
        PostMessageW(window_, WM_CLOSE, 0, 0);
    }
}

}  // namespace fenrallo
