// The Win32 widgets over bare system controls: list positions and texts as the logic relies on
// them (past 32,767 entries too), the bulk-insert bracket as the control sees it, and text that
// is read back whole however long it is.
#include <windows.h>

#include <utility>
#include <vector>

#include <gtest/gtest.h>

#include "platform/win32/Win32Widgets.h"

namespace fenrallo::win32 {
namespace {

struct OwnedWindow {
    explicit OwnedWindow(HWND handle) : window(handle) {}
    ~OwnedWindow() { DestroyWindow(window); }
    OwnedWindow(const OwnedWindow&) = delete;
    OwnedWindow& operator=(const OwnedWindow&) = delete;
    HWND window;
};

HWND makeList()
{
    return CreateWindowExW(0, L"LISTBOX", L"", WS_POPUP | LBS_NOTIFY | LBS_NOINTEGRALHEIGHT, 0, 0,
                           200, 200, nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

HWND makeLog()
{
    return CreateWindowExW(0, L"EDIT", L"", WS_POPUP | ES_MULTILINE | ES_READONLY, 0, 0, 200, 200,
                           nullptr, nullptr, GetModuleHandleW(nullptr), nullptr);
}

TextList entries(const ListBox& box)
{
    TextList all;
    for (int i = 0; i < box.count(); ++i) {
        all.push_back(box.textAt(i));
    }
    return all;
}

struct InsertCase {
    const char* name;
    std::vector<std::pair<int, Text>> inserts;
    TextList expected;
};

TEST(Win32ListBoxTest, InsertsLandAtTheirPositions)
{
    const std::vector<InsertCase> cases = {
        {"append", {{0, L"A"}, {1, L"B"}, {2, L"C"}}, {L"A", L"B", L"C"}},
        {"top pushes down", {{0, L"A"}, {0, L"B"}}, {L"B", L"A"}},
        {"middle", {{0, L"A"}, {1, L"B"}, {1, L"中"}}, {L"A", L"中", L"B"}},
        {"unsorted", {{0, L"b"}, {1, L"a"}}, {L"b", L"a"}},
    };
    for (const InsertCase& c : cases) {
        SCOPED_TRACE(c.name);
        OwnedWindow list(makeList());
        Win32ListBox box(list.window);
        for (const auto& [position, text] : c.inserts) {
            box.insertAt(position, text);
        }
        EXPECT_EQ(entries(box), c.expected);
    }
}

TEST(Win32ListBoxTest, ReadsOutsideTheListAreEmpty)
{
    OwnedWindow list(makeList());
    Win32ListBox box(list.window);
    EXPECT_EQ(box.count(), 0);
    EXPECT_EQ(box.textAt(0), L"");
    box.insertAt(0, L"Z:\\only");
    for (const int position : {-1, 1, 2, 100000}) {
        EXPECT_EQ(box.textAt(position), L"") << position;
    }
    EXPECT_EQ(box.textAt(0), L"Z:\\only");
}

TEST(Win32ListBoxTest, LongEntriesComeBackWhole)
{
    OwnedWindow list(makeList());
    Win32ListBox box(list.window);
    const Text longPath = L"Z:\\" + Text(5000, L'路') + L"\\end.txt";
    box.insertAt(0, longPath);
    EXPECT_EQ(box.textAt(0), longPath);
}

TEST(Win32ListBoxTest, SelectionAndRemoval)
{
    OwnedWindow list(makeList());
    Win32ListBox box(list.window);
    for (const wchar_t* text : {L"A", L"B", L"C"}) {
        box.insertAt(box.count(), text);
    }
    EXPECT_EQ(box.selected(), -1);
    SendMessageW(list.window, LB_SETCURSEL, 2, 0);
    EXPECT_EQ(box.selected(), 2);
    box.removeAt(1);
    EXPECT_EQ(entries(box), (TextList{L"A", L"C"}));
}

TEST(Win32ListBoxTest, CountsAndPositionsPastInt16)
{
    OwnedWindow list(makeList());
    Win32ListBox box(list.window);
    const int total = 40000;
    box.beginBulkInsert(total, static_cast<std::size_t>(total) * 8);
    for (int i = 0; i < total; ++i) {
        box.insertAt(i, std::to_wstring(i));
    }
    box.endBulkInsert();
    EXPECT_EQ(box.count(), total);
    EXPECT_EQ(box.textAt(32768), L"32768");
    EXPECT_EQ(box.textAt(total - 1), std::to_wstring(total - 1));
    SendMessageW(list.window, LB_SETCURSEL, 39000, 0);
    EXPECT_EQ(box.selected(), 39000);
    box.removeAt(39000);
    EXPECT_EQ(box.textAt(39000), L"39001");
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
        std::vector<Recorded> afterBegins;
        std::vector<Recorded> afterEnds;
    };
    const Recorded off{WM_SETREDRAW, FALSE, 0};
    const Recorded on{WM_SETREDRAW, TRUE, 0};
    const std::vector<BulkCase> cases = {
        {"small", {{3, 30}}, {off}, {off, on}},
        {"large",
         {{1000, 5000}},
         {off, {LB_INITSTORAGE, 1000, 10000}},
         {off, {LB_INITSTORAGE, 1000, 10000}, on}},
        {"nested", {{3, 30}, {5000, 9}}, {off}, {off, on}},
    };
    for (const BulkCase& c : cases) {
        SCOPED_TRACE(c.name);
        OwnedWindow list(makeList());
        std::vector<Recorded> recorded;
        g_recorded = &recorded;
        g_listProc = reinterpret_cast<WNDPROC>(SetWindowLongPtrW(
            list.window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(recordingProc)));
        Win32ListBox box(list.window);
        for (const auto& [inserts, chars] : c.brackets) {
            box.beginBulkInsert(inserts, chars);
        }
        EXPECT_EQ(recorded, c.afterBegins);
        for (std::size_t i = 0; i < c.brackets.size(); ++i) {
            box.endBulkInsert();
            if (i + 1 < c.brackets.size()) {
                EXPECT_EQ(recorded, c.afterBegins) << "redraw back on before the outermost end";
            }
        }
        EXPECT_EQ(recorded, c.afterEnds);
        box.endBulkInsert();
        EXPECT_EQ(recorded, c.afterEnds) << "an unmatched end must change nothing";
        SetWindowLongPtrW(list.window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(g_listProc));
    }
    g_recorded = nullptr;
}

Text manyLines()
{
    Text text;
    for (int line = 0; line < 200; ++line) {
        text += Text(60, L'文') + L"\r\n";
    }
    return text;
}

TEST(Win32TextBoxTest, TextComesBackWhole)
{
    // Longer than any fixed buffer would be; Wine's EDIT lays out long texts slowly, so not more.
    const std::vector<Text> texts = {
        L"",
        L"程序运行信息：",
        L"以下为任务执行信息：\r\n\r\n当前共接收 3 个文件本次共移动3个文件",
        manyLines() + L"end",
    };
    OwnedWindow log(makeLog());
    Win32TextBox box(log.window, 255);
    for (const Text& text : texts) {
        box.setText(text);
        EXPECT_EQ(box.text(), text) << text.size() << " characters";
    }
}

TEST(Win32TextBoxTest, ColourIsKeptAsGiven)
{
    OwnedWindow log(makeLog());
    Win32TextBox box(log.window, 255);
    EXPECT_EQ(box.textColour(), 255u);
    for (const Colour colour : {0x00FF00u, 0x123456u, 255u}) {
        box.setTextColour(colour);
        EXPECT_EQ(box.textColour(), colour);
    }
}

TEST(Win32CaptionTest, CaptionAndLabelTextsRoundTrip)
{
    OwnedWindow frame(CreateWindowExW(0, L"STATIC", L"Fenrallo", WS_POPUP, 0, 0, 10, 10, nullptr,
                                      nullptr, GetModuleHandleW(nullptr), nullptr));
    Win32WindowCaption caption(frame.window);
    EXPECT_EQ(caption.caption(), L"Fenrallo");
    const Text longer = L"Fenrallo" + Text(3000, L'目') + L"Q:\\";
    caption.setCaption(longer);
    EXPECT_EQ(caption.caption(), longer);
    Win32Label label(frame.window);
    label.setCaption(L"默认目录： Q:\\");
    EXPECT_EQ(windowText(frame.window), L"默认目录： Q:\\");
}

}  // namespace
}  // namespace fenrallo::win32
