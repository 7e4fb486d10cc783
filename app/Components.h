// What Form1 is made of once its controls exist: the components that own its behaviour, each
// wired to the controls and to the others it works through. Only app/MainWindow.cpp includes it.
#pragma once

#include "app/BatchLock.h"
#include "app/MainWindow.h"
#include "app/RowAnnotation.h"
#include "app/RowTips.h"
#include "app/SendTo.h"
#include "app/SystemMenu.h"
#include "lists/SourceList.h"
#include "lists/TargetList.h"
#include "log/RunLog.h"
#include "ops/BatchMover.h"
#include "ops/DefaultDirectoryOpener.h"
#include "platform/win32/Win32BatchRunner.h"
#include "platform/win32/Win32Widgets.h"

namespace fenrallo {

struct MainWindow::Components {
    Components(PlatformServices& platform, HWND window, const FormLayout& layout,
               FocusMemory& focus)
        : lock(window, layout, focus),
          runner(window, lock),
          sourceBox(layout.control(ControlId::List1)),
          targetBox(layout.control(ControlId::List2)),
          logBox(layout.control(ControlId::Text1), RunLog::kRed),
          log(logBox),
          sources(sourceBox, log),
          targets(targetBox),
          mover(platform, runner, sources, targets, log),
          opener(platform),
          tips(window, layout.control(ControlId::List1)),
          menu(window)
    {
        menu.add(kUndoCommand, L"撤销上次移动(&Z)\tCtrl+Z",
                 [this] { return mover.canUndo() ? MF_ENABLED : MF_GRAYED; });
        menu.add(SendToItem::kCommand, SendToItem::kText,
                 [this] { return sendTo.present() ? MF_CHECKED : MF_UNCHECKED; });
    }
    // The worker's batch refers to what is declared after the runner: it ends first.
    ~Components() { runner.stopAndWait(); }
    Components(const Components&) = delete;
    Components& operator=(const Components&) = delete;

    BatchLock lock;
    win32::Win32BatchRunner runner;
    win32::Win32ListBox sourceBox;
    win32::Win32ListBox targetBox;
    win32::Win32TextBox logBox;
    RunLog log;
    SourceList sources;
    TargetList targets;
    BatchMover mover;
    DefaultDirectoryOpener opener;
    RowTips tips;
    RowAnnotation annotation;
    SendToItem sendTo;
    SystemMenu menu;
};

}  // namespace fenrallo
