// The end-to-end tests' eyes inside Wine: a console program that runs beside Fenrallo, takes
// one command per line on stdin and answers each with one JSON line on stdout. It reads the
// window's controls, list boxes and message boxes through messages another process may send,
// and waits for the window to get through its message queue. Clicks, keys and drops come from
// the X side, as a user's would; the probe itself only closes windows a test is done with.
// Answers are plain ASCII: every other UTF-16 unit is written as a \uXXXX escape, so texts
// reach the tests exactly as the controls hold them, surrogate pairs included.
//   main <ms> <known hwnd>...   a new Fenrallo window and its controls
//   items <list> | text <hwnd>  list entries, window text
//   dialog <owner> <ms>         the message box of the owner's process
//   sync <edit> <ms>            returns once the edit's thread has handled what came before
//   at <x> <y> | toplevels      the top-level window at a point, all visible top-level windows
//   close <hwnd> | gone <hwnd> <ms> | quit
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <initializer_list>
#include <iostream>
#include <iterator>
#include <sstream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

namespace {

using Fields = std::initializer_list<std::pair<const char*, std::string>>;

// Built by appending: GCC 12 at -O3 warns falsely (-Wrestrict) about chains of operator+.
std::string joined(char open, const std::vector<std::string>& values, char close)
{
    std::string out(1, open);
    for (const std::string& value : values) {
        out += out.size() > 1 ? "," : "";
        out += value;
    }
    out += close;
    return out;
}

std::string object(Fields fields)
{
    std::vector<std::string> members;
    for (const auto& [key, value] : fields) {
        members.emplace_back("\"");
        members.back() += key;
        members.back() += "\":";
        members.back() += value;
    }
    return joined('{', members, '}');
}

std::string text(const std::wstring& units)
{
    std::string out(1, '"');
    for (const wchar_t unit : units) {
        if (unit == L'"' || unit == L'\\') {
            out += '\\';
            out += static_cast<char>(unit);
        } else if (unit >= 0x20 && unit < 0x7f) {
            out += static_cast<char>(unit);
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\u%04x", static_cast<unsigned>(unit));
            out += escape;
        }
    }
    out += '"';
    return out;
}

std::string handle(HWND window)
{
    return std::to_string(reinterpret_cast<std::uintptr_t>(window));
}

const std::pair<const char*, std::string> kOk{"ok", "true"};

// A hung or busy target must not hang the tests: every send gives up after a while.
LRESULT send(HWND window, UINT message, WPARAM wParam = 0, LPARAM lParam = 0)
{
    DWORD_PTR answer = 0;
    if (SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, 10000, &answer) == 0) {
        throw std::runtime_error("the window does not answer");
    }
    return static_cast<LRESULT>(answer);
}

// The text a control holds, which for an edit or a static lives in the control itself.
std::wstring windowText(HWND window)
{
    std::wstring units(static_cast<std::size_t>(send(window, WM_GETTEXTLENGTH)) + 1, L'\0');
    units.resize(static_cast<std::size_t>(
        send(window, WM_GETTEXT, units.size(), reinterpret_cast<LPARAM>(units.data()))));
    return units;
}

// A top-level window's caption, read without sending it anything.
std::wstring caption(HWND window)
{
    std::wstring units(static_cast<std::size_t>(GetWindowTextLengthW(window)) + 1, L'\0');
    units.resize(static_cast<std::size_t>(
        GetWindowTextW(window, units.data(), static_cast<int>(units.size()))));
    return units;
}

std::wstring className(HWND window)
{
    std::wstring name(257, L'\0');
    name.resize(static_cast<std::size_t>(GetClassNameW(window, name.data(), 257)));
    return name;
}

DWORD processOf(HWND window)
{
    DWORD process = 0;
    GetWindowThreadProcessId(window, &process);
    return process;
}

BOOL CALLBACK collectVisible(HWND window, LPARAM found)
{
    if (IsWindowVisible(window)) {
        reinterpret_cast<std::vector<HWND>*>(found)->push_back(window);
    }
    return TRUE;
}

std::vector<HWND> topLevelWindows()
{
    std::vector<HWND> windows;
    EnumWindows(collectVisible, reinterpret_cast<LPARAM>(&windows));
    return windows;
}

std::vector<HWND> childrenOf(HWND parent)
{
    std::vector<HWND> children;
    for (HWND child = GetWindow(parent, GW_CHILD); child != nullptr;
         child = GetWindow(child, GW_HWNDNEXT)) {
        children.push_back(child);
    }
    return children;
}

template <typename Done>
bool waitUntil(DWORD timeoutMs, Done done)
{
    for (const ULONGLONG deadline = GetTickCount64() + timeoutMs;; Sleep(10)) {
        if (done()) {
            return true;
        }
        if (GetTickCount64() >= deadline) {
            return false;
        }
    }
}

template <typename Matches>
HWND findTopLevel(DWORD timeoutMs, Matches matches, const char* missing)
{
    HWND found = nullptr;
    if (!waitUntil(timeoutMs, [&] {
            const std::vector<HWND> windows = topLevelWindows();
            const auto hit = std::find_if(windows.begin(), windows.end(), matches);
            found = hit != windows.end() ? *hit : nullptr;
            return found != nullptr;
        })) {
        throw std::runtime_error(missing);
    }
    return found;
}

std::string describe(HWND control)
{
    RECT r{};
    GetWindowRect(control, &r);
    const std::vector<std::string> rect = {std::to_string(r.left), std::to_string(r.top),
                                           std::to_string(r.right - r.left),
                                           std::to_string(r.bottom - r.top)};
    return object({{"hwnd", handle(control)},
                   {"class", text(className(control))},
                   {"text", text(windowText(control))},
                   {"id", std::to_string(GetDlgCtrlID(control))},
                   {"rect", joined('[', rect, ']')}});
}

// `known` are windows of copies started earlier and still closing: the answer is a new one.
std::string mainWindow(DWORD timeoutMs, const std::vector<HWND>& known)
{
    const HWND window = findTopLevel(
        timeoutMs,
        [&known](HWND candidate) {
            const std::wstring cls = className(candidate);
            return std::find(known.begin(), known.end(), candidate) == known.end() &&
                   cls != L"#32770" && cls != L"ConsoleWindowClass" &&
                   caption(candidate).rfind(L"Fenrallo", 0) == 0;
        },
        "no window titled Fenrallo");
    std::vector<std::string> controls;
    for (HWND child : childrenOf(window)) {
        controls.push_back(describe(child));
    }
    return object({kOk,
                   {"hwnd", handle(window)},
                   {"pid", std::to_string(processOf(window))},
                   {"controls", joined('[', controls, ']')}});
}

std::string listItems(HWND list)
{
    std::vector<std::string> items;
    for (LRESULT i = 0, count = send(list, LB_GETCOUNT); i < count; ++i) {
        const LRESULT length = send(list, LB_GETTEXTLEN, static_cast<WPARAM>(i));
        if (length < 0) {
            throw std::runtime_error("entry unreadable");
        }
        std::wstring entry(static_cast<std::size_t>(length) + 1, L'\0');
        entry.resize(static_cast<std::size_t>(std::clamp<LRESULT>(
            send(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(entry.data())),
            0, length)));
        items.push_back(text(entry));
    }
    return object({kOk, {"items", joined('[', items, ']')}});
}

std::string dialogOf(HWND owner, DWORD timeoutMs)
{
    const DWORD process = processOf(owner);
    const HWND dialog = findTopLevel(
        timeoutMs,
        [process](HWND candidate) {
            return className(candidate) == L"#32770" && processOf(candidate) == process;
        },
        "no message box");
    std::vector<std::string> texts;
    std::vector<std::string> buttons;
    for (HWND child : childrenOf(dialog)) {
        const std::wstring cls = className(child);
        if (cls == L"Button") {
            buttons.push_back(describe(child));
        } else if (cls == L"Static" && !windowText(child).empty()) {
            texts.push_back(text(windowText(child)));
        }
    }
    return object({kOk,
                   {"hwnd", handle(dialog)},
                   {"title", text(caption(dialog))},
                   {"texts", joined('[', texts, ']')},
                   {"buttons", joined('[', buttons, ']')}});
}

// Posted messages reach a window in the order they were posted, so once a marker posted now has
// taken effect, everything posted before it (a drop's WM_DROPFILES, a click) has been handled.
// The marker is the text limit of the read-only run log, which nothing reads, and it is put
// back before returning.
std::string barrier(HWND edit, DWORD timeoutMs)
{
    const LRESULT original = send(edit, EM_GETLIMITTEXT);
    for (const LRESULT value : {original > 1 ? original - 1 : original + 1, original}) {
        if (!PostMessageW(edit, EM_SETLIMITTEXT, static_cast<WPARAM>(value), 0) ||
            !waitUntil(timeoutMs, [&] { return send(edit, EM_GETLIMITTEXT) == value; })) {
            throw std::runtime_error("the window did not get through its queue");
        }
    }
    return object({kOk});
}

std::string listTopLevels()
{
    std::vector<std::string> windows;
    for (HWND window : topLevelWindows()) {
        windows.push_back(object({{"hwnd", handle(window)},
                                  {"pid", std::to_string(processOf(window))},
                                  {"title", text(caption(window))}}));
    }
    return object({kOk, {"windows", joined('[', windows, ']')}});
}

std::string run(const std::vector<std::string>& words)
{
    const std::string& verb = words.at(0);
    const auto window = [&words](std::size_t i) {
        return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(std::stoull(words.at(i))));
    };
    const auto number = [&words](std::size_t i) { return std::stoi(words.at(i)); };
    const auto ms = [&](std::size_t i) { return static_cast<DWORD>(number(i)); };
    if (verb == "main") {
        std::vector<HWND> known;
        for (std::size_t i = 2; i < words.size(); ++i) {
            known.push_back(window(i));
        }
        return mainWindow(ms(1), known);
    }
    if (verb == "items") {
        return listItems(window(1));
    }
    if (verb == "text") {
        return object({kOk, {"text", text(windowText(window(1)))}});
    }
    if (verb == "dialog") {
        return dialogOf(window(1), ms(2));
    }
    if (verb == "sync") {
        return barrier(window(1), ms(2));
    }
    if (verb == "at") {
        const HWND hit = WindowFromPoint(POINT{number(1), number(2)});
        return object({kOk, {"root", handle(hit != nullptr ? GetAncestor(hit, GA_ROOT) : hit)}});
    }
    if (verb == "toplevels") {
        return listTopLevels();
    }
    if (verb == "close" && PostMessageW(window(1), WM_CLOSE, 0, 0)) {
        return object({kOk});
    }
    if (verb == "gone" && waitUntil(ms(2), [&] { return !IsWindow(window(1)); })) {
        return object({kOk});
    }
    throw std::runtime_error(verb + " failed or is unknown");
}

}  // namespace

int main()
{
    std::string line;
    while (std::getline(std::cin, line)) {
        std::istringstream split(line);
        const std::vector<std::string> words{std::istream_iterator<std::string>(split),
                                             std::istream_iterator<std::string>()};
        if (words.empty()) {
            continue;
        }
        if (words[0] == "quit") {
            return 0;
        }
        std::string answer;
        try {
            answer = run(words);
        } catch (const std::exception& error) {
            const std::string why = error.what();
            answer =
                object({{"ok", "false"}, {"error", text(std::wstring(why.begin(), why.end()))}});
        }
        std::cout << answer << std::endl;
    }
    return 0;
}
