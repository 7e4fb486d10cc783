// The run log's texts are read by users and compared byte for byte: spacing, line breaks and
// plain decimal numbers are the point.
#include "log/RunLog.h"

#include <gtest/gtest.h>

#include "fakes/FakePlatform.h"

namespace fenrallo {
namespace {

TEST(RunLog, AppendsBuildOneTextBackToBackUntilAReset)
{
    fake::FakeTextBox box;
    RunLog log(box);
    log.appendMoved(120);
    log.appendReceived(40000);
    log.appendMoved(0);
    log.appendMoved(7);
    EXPECT_EQ(box.content,
              L"程序运行信息：本次共移动120个文件\r\n当前共接收 40000 个文件"
              L"本次共移动0个文件本次共移动7个文件");
    log.resetWithHeader();
    EXPECT_EQ(box.content, L"以下为任务执行信息：\r\n");
    log.setRed();
    EXPECT_EQ(box.colourWrites, 1) << "setRed writes even when the log is red";
}

}  // namespace
}  // namespace fenrallo
