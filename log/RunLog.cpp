// Texts and spacing here are what users read; they are compared byte for byte, so the
// ordinary and full-width characters must stay exactly as they are.
#include "log/RunLog.h"

namespace fenrallo {

namespace {

// Plain decimal. std::to_wstring would do, but it goes through swprintf, which brings a whole
// printf implementation into the statically linked exe for two numbers.
Text decimal(int count)
{
    Text digits;
    unsigned value = count < 0 ? 0U - static_cast<unsigned>(count) : static_cast<unsigned>(count);
    do {
        digits.insert(digits.begin(), static_cast<wchar_t>(L'0' + value % 10));
        value /= 10;
    } while (value != 0);
    return count < 0 ? L"-" + digits : digits;
}

}  // namespace

void RunLog::resetWithHeader()
{
    box_.setText(L"以下为任务执行信息：\r\n");
}

void RunLog::ensureRed()
{
    if (box_.textColour() != kRed) {
        box_.setTextColour(kRed);
    }
}

void RunLog::setRed()
{
    box_.setTextColour(kRed);
}

void RunLog::appendReceived(int count)
{
    box_.setText(box_.text() + L"\r\n当前共接收 " + decimal(count) + L" 个文件");
}

void RunLog::appendMoved(int count)
{
    box_.setText(box_.text() + L"本次共移动" + decimal(count) + L"个文件");
}

}  // namespace fenrallo
