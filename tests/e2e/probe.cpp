// The end-to-end tests' eyes inside Wine: a console program that runs beside Fenrallo, takes
// one command per line on stdin and answers each with one JSON line on stdout. It reads the
// window's controls, list boxes and message boxes through messages another process may send,
// and waits for the window to get through its message queue. Clicks, keys and drops come from
// the X side, as a user's would; the probe itself only closes windows a test is done with. Answers
// are plain ASCII: every other UTF-16 unit is written as a \uXXXX escape, so texts reach the tests
// exactly as the controls hold them, surrogate pairs included.
#include <windows.h>

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <vector>

namespace {

constexpr UINT kSendTimeoutMs = 10000;
constexpr DWORD kPollMs = 20;

std::string jsonText(const std::wstring& text)
{
    std::string out(1, '"');
    for (const wchar_t unit : text) {
        if (unit == L'"' || unit == L'\\') {
            out += '\\';
            out += static_cast<char>(unit);
        } else if (unit >= 0x20 && unit < 0x7f) {
            out += static_cast<char>(unit);
        } else {
            std::string escape(7, '\0');
            std::snprintf(escape.data(), escape.size(), "\\u%04x", static_cast<unsigned>(unit));
            out += escape.c_str();
        }
    }
    out += '"';
    return out;
}

std::string jsonArray(const std::vector<std::string>& values)
{
    std::string out(1, '[');
    for (const std::string& value : values) {
        if (out.size() > 1) {
            out += ',';
        }
        out += value;
    }
    out += ']';
    return out;
}

std::string jsonRect(const RECT& rect)
{
    return jsonArray({std::to_string(rect.left), std::to_string(rect.top),
                      std::to_string(rect.right - rect.left),
                      std::to_string(rect.bottom - rect.top)});
}

// Appends only: GCC 12 at -O3 warns falsely (-Wrestrict) about chains of string operator+.
class JsonObject {
public:
    JsonObject& raw(const char* key, const std::string& value)
    {
        out_ += out_.size() > 1 ? ",\"" : "\"";
        out_ += key;
        out_ += "\":";
        out_ += value;
        return *this;
    }
    JsonObject& text(const char* key, const std::wstring& value)
    {
        return raw(key, jsonText(value));
    }
    JsonObject& number(const char* key, long long value) { return raw(key, std::to_string(value)); }
    JsonObject& handle(const char* key, HWND value)
    {
        return raw(key, std::to_string(reinterpret_cast<std::uintptr_t>(value)));
    }
    JsonObject& flag(const char* key, bool value) { return raw(key, value ? "true" : "false"); }
    std::string str() const { return out_ + '}'; }

private:
    std::string out_ = "{";
};

std::string success()
{
    return JsonObject().flag("ok", true).str();
}

std::string failure(const std::string& why)
{
    return JsonObject().flag("ok", false).text("error", std::wstring(why.begin(), why.end())).str();
}

// A hung or busy target must not hang the tests: every send gives up after a while.
bool send(HWND window, UINT message, WPARAM wParam, LPARAM lParam, LRESULT& result)
{
    DWORD_PTR answer = 0;
    if (SendMessageTimeoutW(window, message, wParam, lParam, SMTO_NORMAL, kSendTimeoutMs,
                            &answer) == 0) {
        return false;
    }
    result = static_cast<LRESULT>(answer);
    return true;
}

std::wstring windowText(HWND window)
{
    LRESULT length = 0;
    if (!send(window, WM_GETTEXTLENGTH, 0, 0, length) || length <= 0) {
        return {};
    }
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    LRESULT copied = 0;
    if (!send(window, WM_GETTEXT, text.size(), reinterpret_cast<LPARAM>(text.data()), copied)) {
        return {};
    }
    text.resize(static_cast<std::size_t>(copied));
    return text;
}

std::wstring className(HWND window)
{
    // 256 characters is the longest class name the window system registers.
    std::wstring name(257, L'\0');
    const int length = GetClassNameW(window, name.data(), static_cast<int>(name.size()));
    name.resize(length > 0 ? static_cast<std::size_t>(length) : 0);
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

HWND parseHandle(const std::string& word)
{
    return reinterpret_cast<HWND>(static_cast<std::uintptr_t>(std::stoull(word)));
}

// Polls until `find` yields a window or the time is up.
template <typename Find>
HWND waitFor(DWORD timeoutMs, Find find)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    for (;;) {
        if (HWND window = find()) {
            return window;
        }
        if (GetTickCount64() >= deadline) {
            return nullptr;
        }
        Sleep(kPollMs);
    }
}

bool waitGone(HWND window, DWORD timeoutMs)
{
    const ULONGLONG deadline = GetTickCount64() + timeoutMs;
    while (IsWindow(window)) {
        if (GetTickCount64() >= deadline) {
            return false;
        }
        Sleep(kPollMs);
    }
    return true;
}

bool isMainWindow(HWND window)
{
    const std::wstring cls = className(window);
    return cls != L"#32770" && cls != L"ConsoleWindowClass" &&
           windowText(window).rfind(L"Fenrallo", 0) == 0;
}

std::string describeControl(HWND control)
{
    RECT rect{};
    GetWindowRect(control, &rect);
    return JsonObject()
        .handle("hwnd", control)
        .text("class", className(control))
        .text("text", windowText(control))
        .number("id", GetDlgCtrlID(control))
        .raw("rect", jsonRect(rect))
        .str();
}

// `known` are windows of copies started earlier and still closing: the answer is a new one.
std::string mainWindow(DWORD timeoutMs, const std::vector<HWND>& known)
{
    HWND window = waitFor(timeoutMs, [&known] {
        for (HWND candidate : topLevelWindows()) {
            if (std::find(known.begin(), known.end(), candidate) == known.end() &&
                isMainWindow(candidate)) {
                return candidate;
            }
        }
        return HWND{};
    });
    if (window == nullptr) {
        return failure("no window titled Fenrallo");
    }
    std::vector<std::string> controls;
    for (HWND child : childrenOf(window)) {
        controls.push_back(describeControl(child));
    }
    return JsonObject()
        .flag("ok", true)
        .handle("hwnd", window)
        .number("pid", processOf(window))
        .raw("controls", jsonArray(controls))
        .str();
}

std::string listItems(HWND list)
{
    LRESULT count = 0;
    if (!send(list, LB_GETCOUNT, 0, 0, count)) {
        return failure("list box does not answer");
    }
    std::vector<std::string> items;
    for (LRESULT i = 0; i < count; ++i) {
        LRESULT length = 0;
        if (!send(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0, length) || length < 0) {
            return failure("entry length unreadable");
        }
        std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
        LRESULT copied = 0;
        if (!send(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()),
                  copied) ||
            copied < 0) {
            return failure("entry text unreadable");
        }
        text.resize(static_cast<std::size_t>(copied));
        items.push_back(jsonText(text));
    }
    return JsonObject().flag("ok", true).raw("items", jsonArray(items)).str();
}

std::string dialogOf(HWND owner, DWORD timeoutMs)
{
    const DWORD process = processOf(owner);
    HWND dialog = waitFor(timeoutMs, [process] {
        for (HWND candidate : topLevelWindows()) {
            if (className(candidate) == L"#32770" && processOf(candidate) == process) {
                return candidate;
            }
        }
        return HWND{};
    });
    if (dialog == nullptr) {
        return failure("no message box");
    }
    std::vector<std::string> texts;
    std::vector<std::string> buttons;
    for (HWND child : childrenOf(dialog)) {
        const std::wstring cls = className(child);
        const std::wstring text = windowText(child);
        if (cls == L"Button") {
            buttons.push_back(describeControl(child));
        } else if (cls == L"Static" && !text.empty()) {
            texts.push_back(jsonText(text));
        }
    }
    return JsonObject()
        .flag("ok", true)
        .handle("hwnd", dialog)
        .text("title", windowText(dialog))
        .raw("texts", jsonArray(texts))
        .raw("buttons", jsonArray(buttons))
        .str();
}

// Posted messages reach a window in the order they were posted, so once a marker posted now has
// taken effect, everything posted before it (a drop's WM_DROPFILES, a click) has been handled.
// The marker is the text limit of the disabled run log box, which nothing reads, and it is put
// back before returning.
std::string barrier(HWND edit, DWORD timeoutMs)
{
    LRESULT original = 0;
    if (!send(edit, EM_GETLIMITTEXT, 0, 0, original)) {
        return failure("text box does not answer");
    }
    const LRESULT marker = original > 1 ? original - 1 : original + 1;
    const auto reaches = [edit, timeoutMs](LRESULT value) {
        const ULONGLONG deadline = GetTickCount64() + timeoutMs;
        for (;;) {
            LRESULT now = 0;
            if (send(edit, EM_GETLIMITTEXT, 0, 0, now) && now == value) {
                return true;
            }
            if (GetTickCount64() >= deadline) {
                return false;
            }
            Sleep(kPollMs / 4);
        }
    };
    if (!PostMessageW(edit, EM_SETLIMITTEXT, static_cast<WPARAM>(marker), 0) || !reaches(marker)) {
        return failure("the window did not get through its queue");
    }
    if (!PostMessageW(edit, EM_SETLIMITTEXT, static_cast<WPARAM>(original), 0) ||
        !reaches(original)) {
        return failure("text limit not restored");
    }
    return success();
}

// The top-level window a click at a screen point would reach.
std::string windowAt(int x, int y)
{
    HWND window = WindowFromPoint(POINT{x, y});
    return JsonObject()
        .flag("ok", true)
        .handle("root", window != nullptr ? GetAncestor(window, GA_ROOT) : nullptr)
        .str();
}

std::string listTopLevels()
{
    std::vector<std::string> windows;
    for (HWND window : topLevelWindows()) {
        windows.push_back(JsonObject()
                              .handle("hwnd", window)
                              .number("pid", processOf(window))
                              .text("title", windowText(window))
                              .str());
    }
    return JsonObject().flag("ok", true).raw("windows", jsonArray(windows)).str();
}

std::string run(const std::vector<std::string>& words)
{
    const std::string& verb = words[0];
    const auto arg = [&words](std::size_t i) { return words.at(i); };
    if (verb == "main") {
        std::vector<HWND> known;
        for (std::size_t i = 2; i < words.size(); ++i) {
            known.push_back(parseHandle(words[i]));
        }
        return mainWindow(static_cast<DWORD>(std::stoul(arg(1))), known);
    }
    if (verb == "items") {
        return listItems(parseHandle(arg(1)));
    }
    if (verb == "text") {
        return JsonObject().flag("ok", true).text("text", windowText(parseHandle(arg(1)))).str();
    }
    if (verb == "dialog") {
        return dialogOf(parseHandle(arg(1)), static_cast<DWORD>(std::stoul(arg(2))));
    }
    if (verb == "sync") {
        return barrier(parseHandle(arg(1)), static_cast<DWORD>(std::stoul(arg(2))));
    }
    if (verb == "at") {
        return windowAt(std::stoi(arg(1)), std::stoi(arg(2)));
    }
    if (verb == "toplevels") {
        return listTopLevels();
    }
    if (verb == "close") {
        return PostMessageW(parseHandle(arg(1)), WM_CLOSE, 0, 0) ? success()
                                                                 : failure("could not post");
    }
    if (verb == "gone") {
        return waitGone(parseHandle(arg(1)), static_cast<DWORD>(std::stoul(arg(2))))
                   ? success()
                   : failure("window still there");
    }
    return failure("unknown command");
}

std::vector<std::string> splitWords(const std::string& line)
{
    std::vector<std::string> words;
    std::size_t start = 0;
    while ((start = line.find_first_not_of(" \t\r", start)) != std::string::npos) {
        const std::size_t end = line.find_first_of(" \t\r", start);
        words.push_back(line.substr(start, end - start));
        start = end;
    }
    return words;
}

bool writeLine(HANDLE out, const std::string& line)
{
    std::string whole = line;
    whole += '\n';
    std::size_t written = 0;
    while (written < whole.size()) {
        DWORD chunk = 0;
        if (!WriteFile(out, whole.data() + written, static_cast<DWORD>(whole.size() - written),
                       &chunk, nullptr) ||
            chunk == 0) {
            return false;
        }
        written += chunk;
    }
    return true;
}

}  // namespace

int main()
{
    HANDLE in = GetStdHandle(STD_INPUT_HANDLE);
    HANDLE out = GetStdHandle(STD_OUTPUT_HANDLE);
    std::string pending;
    std::string chunk(4096, '\0');
    for (;;) {
        std::size_t newline = 0;
        while ((newline = pending.find('\n')) == std::string::npos) {
            DWORD got = 0;
            if (!ReadFile(in, chunk.data(), static_cast<DWORD>(chunk.size()), &got, nullptr) ||
                got == 0) {
                return 0;
            }
            pending.append(chunk.data(), got);
        }
        const std::vector<std::string> words = splitWords(pending.substr(0, newline));
        pending.erase(0, newline + 1);
        if (words.empty()) {
            continue;
        }
        if (words[0] == "quit") {
            return 0;
        }
        std::string answer;
        try {
            answer = run(words);
        } catch (const std::exception&) {
            answer = failure("bad arguments");
        }
        if (!writeLine(out, answer)) {
            return 1;
        }
    }
}
