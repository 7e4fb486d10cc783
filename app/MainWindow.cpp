// The window procedure of Form1 and of the three controls it subclasses. Each message is one
// line in a switch that names its handler; the handlers only translate the message and call the
// component that owns the behaviour.
#include "app/MainWindow.h"

#include "app/Components.h"
#include "app/Dpi.h"
#include "app/ListDrawing.h"
#include "platform/win32/DroppedPaths.h"
#include "platform/win32/Win32PlatformServices.h"
#include "platform/win32/Win32Widgets.h"

namespace fenrallo {

namespace {

const wchar_t* const kInitialCaption = L"Fenrallo";
using Runner = win32::Win32BatchRunner;

}  // namespace

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

const TaskbarProgress& MainWindow::taskbar() const
{
    return components_->lock.taskbar();
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

LRESULT MainWindow::handleMessage(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == TaskbarProgress::buttonCreatedMessage()) {
        components_->lock.taskbar().buttonCreated();
        return 0;
    }
    // One line per message: the switch is the window's table of contents.
    // clang-format off
    switch (message) {
    case WM_CREATE: return onCreate();
    case WM_COMMAND: return onCommand(LOWORD(wParam), HIWORD(wParam));
    case WM_CTLCOLORSTATIC:
    case WM_CTLCOLOREDIT: return onControlColour(message, wParam, lParam);
    case WM_DPICHANGED: return onDpiChanged(HIWORD(wParam), *reinterpret_cast<RECT*>(lParam));
    case WM_ACTIVATE: return onActivate(wParam, lParam);
    case WM_SYSCOMMAND: return onSystemCommand(wParam, lParam);
    case WM_INITMENUPOPUP: components_->menu.opening(HIWORD(lParam) != FALSE); return 0;
    case WM_DRAWITEM: drawListRow(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam)); return TRUE;
    case WM_SETFOCUS: focus_.restore(control(ControlId::List1), control(ControlId::Command6)); return 0;
    case WM_CLOSE: if (components_->lock.mayClose(components_->runner)) DestroyWindow(window_); return 0;
    case WM_QUERYENDSESSION: return components_->runner.busy() ? FALSE : TRUE;
    // Windows may end the process the moment this returns: the copy in progress is stopped first.
    case WM_ENDSESSION: if (wParam != FALSE) components_->runner.stopAndWaitForWorker(); return 0;
    case WM_DESTROY: PostQuitMessage(0); return 0;
    case Runner::kProgressMessage:
    case Runner::kEndedMessage: components_->runner.onMessage(message); handOvers_.batchEnded(); return 0;
    case WM_COPYDATA: return components_ ? handOvers_.receive(window_, lParam, components_->runner.busy()) : FALSE;
    default: return DefWindowProcW(window_, message, wParam, lParam);
    }
    // clang-format on
}

std::optional<LRESULT> MainWindow::beforeControl(HWND child, UINT message, WPARAM wParam,
                                                 LPARAM lParam)
{
    ControlId id{};
    if (!controlFromCommandId(GetDlgCtrlID(child), id) || !components_) {
        return std::nullopt;
    }
    if (message == WM_DROPFILES) {
        return onDropFiles(id, reinterpret_cast<HDROP>(wParam));
    }
    if (id == ControlId::Text1) {
        return log_.filter(message, wParam, lParam);
    }
    if (id == ControlId::List1) {
        components_->tips.heard(message, wParam, lParam);
        components_->annotation.heard(child, message, lParam);
    }
    // clang-format off
    switch (listKey(id, message, wParam, lParam)) {
    case ListKey::Paste: return onPaste(id);
    case ListKey::Remove: components_->sources.onDeleteKey(); return 0;
    case ListKey::Undo: undo(); return 0;
    case ListKey::Swallow: return 0;
    case ListKey::None: return std::nullopt;
    }
    // clang-format on
    return std::nullopt;
}

void MainWindow::afterControl(HWND child, UINT message)
{
    if (child == control(ControlId::Text1)) {
        log_.handled(message);
    } else if (child == control(ControlId::List1) && components_) {
        components_->tips.handled(message);
    }
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
    components_ = std::make_unique<Components>(platform_, window_, layout_, focus_);
    const UINT dpi = dpiOfWindow(window_);
    layout_.placeForm(dpi);
    layout(dpi);
    runLoadSetup();
    return 0;
}

void MainWindow::subclassControls()
{
    // Drops and keys arrive at the list boxes themselves, Ctrl+Z at the buttons too, and focus
    // and clicks at the log.
    const std::array subclassed = {ControlId::List1,    ControlId::List2,    ControlId::Text1,
                                   ControlId::Command4, ControlId::Command5, ControlId::Command6};
    for (std::size_t i = 0; i < subclassed.size(); ++i) {
        subclasses_[i].attach(control(subclassed[i]), *this);
    }
    // Run as administrator, the program would otherwise never hear that the shell, which runs
    // with less privilege, made its taskbar button anew, nor get paths from an unelevated start.
    ChangeWindowMessageFilterEx(window_, TaskbarProgress::buttonCreatedMessage(), MSGFLT_ALLOW,
                                nullptr);
    ChangeWindowMessageFilterEx(window_, WM_COPYDATA, MSGFLT_ALLOW, nullptr);
}

void MainWindow::layout(UINT dpi)
{
    layout_.layoutControls(dpi);
    matchRowHeight(control(ControlId::List1), control(ControlId::List2));
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
    const bool clicked = notification == BN_CLICKED;
    if (!controlFromCommandId(commandId, id) || !components_) {
        return 0;
    }
    // clang-format off
    switch (id) {
    case ControlId::List1: if (notification == LBN_DBLCLK) components_->sources.onDoubleClick(); break;
    case ControlId::Command4: if (clicked) components_->mover.moveToDefaultDirectory(); break;
    case ControlId::Command5: if (clicked) components_->mover.moveToSpecifiedDirectory(); break;
    case ControlId::Command6: if (clicked) components_->opener.openDefaultDirectory(); break;
    default: break;
    }
    // clang-format on
    return 0;
}

LRESULT MainWindow::onControlColour(UINT message, WPARAM wParam, LPARAM lParam)
{
    if (reinterpret_cast<HWND>(lParam) != control(ControlId::Text1) || !components_) {
        return DefWindowProcW(window_, message, wParam, lParam);
    }
    return log_.paint(reinterpret_cast<HDC>(wParam), components_->logBox.textColour());
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

LRESULT MainWindow::onSystemCommand(WPARAM command, LPARAM lParam)
{
    if ((command & 0xFFF0) == SendToItem::kCommand) {
        components_->sendTo.toggle();
    } else if ((command & 0xFFF0) == kUndoCommand) {
        undo();
    } else {
        return DefWindowProcW(window_, WM_SYSCOMMAND, command, lParam);
    }
    return 0;
}

void MainWindow::undo()
{
    // Nothing to take back, or a batch runs: the key does nothing but say so.
    if (!components_->mover.undoLastBatch()) {
        MessageBeep(MB_OK);
    }
}

// Mid-batch a drop or paste is not even read: any program, one of lower integrity too, may send
// one then, as large as it likes.
LRESULT MainWindow::onDropFiles(ControlId list, HDROP drop)
{
    const win32::DropHandle owned(drop);
    return components_->runner.busy() ? 0 : takePaths(list, win32::droppedPaths(owned.get()));
}

LRESULT MainWindow::onPaste(ControlId list)
{
    if (components_->runner.busy()) {
        return 0;
    }
    if (const std::optional<TextList> paths = win32::clipboardPaths(window_)) {
        takePaths(list, *paths);
    }
    return 0;
}

LRESULT MainWindow::takePaths(ControlId list, const TextList& paths)
{
    if (list == ControlId::List1) {
        components_->sources.onDrop(paths);
    } else if (list == ControlId::List2) {
        components_->targets.onDrop(paths);
    }
    return 0;
}

}  // namespace fenrallo
