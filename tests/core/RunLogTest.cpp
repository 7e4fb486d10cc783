// The run log's texts are read by users and compared byte for byte; spacing and the line breaks
// are the point of these tests.
#include "log/RunLog.h"

#include <gtest/gtest.h>

#include "fakes/FakePlatform.h"

namespace fenrallo {
namespace {

TEST(RunLog, DropThenMovesBuildOneTextBackToBack)
{
    fake::FakeTextBox box;
    RunLog log(box);

    log.resetWithHeader();
    EXPECT_EQ(box.content, L"以下为任务执行信息：\r\n");
    log.appendReceived(3);
    log.appendMoved(3);
    log.appendMoved(0);
    EXPECT_EQ(box.content,
              L"以下为任务执行信息：\r\n\r\n当前共接收 3 个文件本次共移动3个文件本次共移动0个文件");
}

TEST(RunLog, AppendsKeepTheInitialTextUntilAResetAndNumbersArePlainDecimal)
{
    fake::FakeTextBox box;
    RunLog log(box);
    log.appendMoved(120);
    log.appendReceived(40000);
    EXPECT_EQ(box.content, L"程序运行信息：本次共移动120个文件\r\n当前共接收 40000 个文件");
    log.resetWithHeader();
    EXPECT_EQ(box.content, L"以下为任务执行信息：\r\n");
}

TEST(RunLog, EnsureRedWritesOnlyWhenTheColourDiffers)
{
    fake::FakeTextBox box;
    RunLog log(box);
    log.ensureRed();
    EXPECT_EQ(box.colourWrites, 0);
    box.colour = 0x00ff00;
    log.ensureRed();
    EXPECT_EQ(box.colour, 255U);
    EXPECT_EQ(box.colourWrites, 1);
    log.setRed();
    EXPECT_EQ(box.colourWrites, 2);
}

}  // namespace
}  // namespace fenrallo
