// Texts and spacing here are what users read; they are compared byte for byte, so the
// ordinary and full-width characters must stay exactly as they are.
#include "log/RunLog.h"

#include <string>

namespace fenrallo {

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
    box_.setText(box_.text() + L"\r\n当前共接收 " + std::to_wstring(count) + L" 个文件");
}

void RunLog::appendMoved(int count)
{
    box_.setText(box_.text() + L"本次共移动" + std::to_wstring(count) + L"个文件");
}

}  // namespace fenrallo
