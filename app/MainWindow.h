// Form1, the program's only window: it creates the controls from the layout table, lays them out
// for its DPI, wires the components to them at load time and routes each user event to the
// component that handles it. While a batch moves files on its worker, the window keeps
// answering with the move buttons and both lists disabled. Ctrl+Z, or an item of its system
// menu, takes the last batch back. Closing it ends the message loop.
#pragma once

#include <windows.h>

#include <shellapi.h>

#include <array>
#include <memory>
#include <optional>

#include "app/FormLayout.h"
#include "app/HandOverInbox.h"
#include "app/Keyboard.h"
#include "app/ReadOnlyLog.h"
#include "app/Subclass.h"
#include "platform/PlatformServices.h"

namespace fenrallo {

class TaskbarProgress;
namespace win32 {
class Win32PlatformServices;
}

class MainWindow : private ControlListener {
public:
    // The system menu's item that takes the last batch back.
    static constexpr UINT kUndoCommand = 0x0010;
    static constexpr const wchar_t* kClassName = L"Fenrallo.Form1";

    // Reaches the real platform, with this window as the owner of its message boxes.
    MainWindow();
    // Reaches `platform` instead, which must outlive the window.
    explicit MainWindow(PlatformServices& platform);
    ~MainWindow() override;
    MainWindow(const MainWindow&) = delete;
    MainWindow& operator=(const MainWindow&) = delete;

    // Creates the window hidden, with its controls, components and load-time setup done.
    // False when the window or a control could not be created.
    bool create(HINSTANCE instance);
    // Shows the window with the focus in List1.
    void show(int showCommand);

    // Null before create() and after the window is destroyed.
    HWND handle() const { return window_; }
    HWND control(ControlId id) const { return layout_.control(id); }
    UINT dpi() const { return layout_.dpi(); }
    // The batch's progress on the taskbar button; once create() has succeeded.
    const TaskbarProgress& taskbar() const;
    // Where dropped, pasted and handed-over paths meet: the list's own drop intake. Only when no
    // batch runs.
    LRESULT takePaths(ControlId list, const TextList& paths);

private:
    struct Components;

    static LRESULT CALLBACK windowProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    std::optional<LRESULT> beforeControl(HWND child, UINT message, WPARAM wParam,
                                         LPARAM lParam) override;
    void afterControl(HWND child, UINT message) override;

    LRESULT onCreate();
    LRESULT onCommand(int commandId, int notification);
    LRESULT onControlColour(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT onDpiChanged(UINT newDpi, const RECT& suggested);
    LRESULT onActivate(WPARAM wParam, LPARAM lParam);
    LRESULT onSystemCommand(WPARAM command, LPARAM lParam);
    LRESULT onDropFiles(ControlId list, HDROP drop);
    LRESULT onPaste(ControlId list);

    // Lets the lists and the log's messages through the control procedures of this window.
    void subclassControls();
    void layout(UINT dpi);
    void runLoadSetup();
    // Ctrl+Z and the system menu's item.
    void undo();

    std::unique_ptr<win32::Win32PlatformServices> ownPlatform_;
    PlatformServices& platform_;
    HINSTANCE instance_ = nullptr;
    HWND window_ = nullptr;
    FormLayout layout_;
    ReadOnlyLog log_;
    std::array<Subclass, 6> subclasses_;
    FocusMemory focus_;
    HandOverInbox handOvers_{[this](const TextList& paths) { takePaths(ControlId::List1, paths); }};
    std::unique_ptr<Components> components_;
};

}  // namespace fenrallo
