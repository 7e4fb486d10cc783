// The Win32 widgets over bare system controls: the bulk-insert bracket as the list box sees it,
// and text that is read back whole however long it is. Insert positions, removal and reads past
// the end are proven through the real window (WindowTest, end to end) and lists past 32,767
// entries by the hostile-input suite.
#include <windows.h>

#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "PlatformTestSupport.h"
#include "platform/win32/Win32Widgets.h"

namespace fenrallo::win32 {
namespace {

using test::OwnedWindow;

OwnedWindow makeWindow(const wchar_t* windowClass, DWORD style)
{
    return OwnedWindow(CreateWindowExW(0, windowClass, L"Fenrallo", WS_POPUP | style, 0, 0, 200,
                                       200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr));
}

OwnedWindow makeList()
{
    return makeWindow(L"LISTBOX", LBS_NOTIFY | LBS_NOINTEGRALHEIGHT);
}

// What the list box itself is told while a bulk insert runs.
struct Recorded {
    UINT message;
    WPARAM wParam;
    LPARAM lParam;
    bool operator==(const Recorded&) const = default;
};

std::vector<Recorded>* g_recorded = nullptr;
WNDPROC g_listProc = nullptr;

LRESULT CALLBACK recordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_SETREDRAW || message == LB_INITSTORAGE) {
        g_recorded->push_back({message, wParam, lParam});
    }
    return CallWindowProcW(g_listProc, window, message, wParam, lParam);
}

TEST(Win32ListBoxTest, BulkInsertStopsRedrawOnceAndReservesOnlyForLargeDrops)
{
    struct BulkCase {
        const char* name;
        std::vector<std::pair<int, std::size_t>> brackets;  // nested begins, then as many ends
        std::vector<Recorded> recorded;                     // the last one comes at the last end
    };
    const Recorded off{WM_SETREDRAW, FALSE, 0};
    const Recorded on{WM_SETREDRAW, TRUE, 0};
    const Recorded reserve{LB_INITSTORAGE, 1000, 10000};
    const std::vector<BulkCase> cases = {
        {"small", {{3, 30}}, {off, on}},
        {"large", {{1000, 5000}}, {off, reserve, on}},
        {"nested", {{3, 30}, {5000, 9}}, {off, on}},
    };
    for (const BulkCase& c : cases) {
        SCOPED_TRACE(c.name);
        const OwnedWindow list = makeList();
        std::vector<Recorded> recorded;
        g_recorded = &recorded;
        g_listProc = reinterpret_cast<WNDPROC>(
            SetWindowLongPtrW(list.get(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(recordingProc)));
        Win32ListBox box(list.get());
        for (const auto& [inserts, chars] : c.brackets) {
            box.beginBulkInsert(inserts, chars);
        }
        const std::vector<Recorded> whileOpen(c.recorded.begin(), c.recorded.end() - 1);
        for (std::size_t i = 0; i < c.brackets.size(); ++i) {
            EXPECT_EQ(recorded, whileOpen) << "redraw back on before the outermost end";
            box.endBulkInsert();
        }
        EXPECT_EQ(recorded, c.recorded);
        box.endBulkInsert();
        EXPECT_EQ(recorded, c.recorded) << "an unmatched end must change nothing";
    }
}

TEST(Win32TextTest, TextsComeBackWholeHoweverLong)
{
    Text manyLines;
    for (int line = 0; line < 200; ++line) {
        manyLines += Text(60, L'文') + L"\r\n";
    }
    const OwnedWindow log = makeWindow(L"EDIT", ES_MULTILINE | ES_READONLY);
    const OwnedWindow frame = makeWindow(L"STATIC", 0);
    Win32TextBox box(log.get(), 255);
    Win32WindowCaption caption(frame.get());
    Win32Label label(frame.get());
    EXPECT_EQ(caption.caption(), L"Fenrallo");
    // Longer than any fixed buffer would be; Wine's EDIT lays out long texts slowly, so not more.
    for (const Text& text :
         {Text(), Text(L"以下为任务执行信息：\r\n\r\n当前共接收 3 个文件"), manyLines + L"end"}) {
        box.setText(text);
        EXPECT_EQ(box.text(), text) << text.size() << " characters";
        caption.setCaption(text);
        EXPECT_EQ(caption.caption(), text);
        label.setCaption(text + L"Q:\\");
        EXPECT_EQ(windowText(frame.get()), text + L"Q:\\");
    }
}

}  // namespace
}  // namespace fenrallo::win32
