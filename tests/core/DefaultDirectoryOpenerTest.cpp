// The file manager gets the program folder quoted whole, with the trailing space it has always had.
#include "ops/DefaultDirectoryOpener.h"

#include <gtest/gtest.h>

#include "fakes/FakePlatform.h"

namespace fenrallo {
namespace {

TEST(DefaultDirectoryOpener, QuotesTheProgramDirectoryEachClick)
{
    struct Case {
        const wchar_t* directory;
        const wchar_t* commandLine;
    };
    const Case cases[] = {
        {L"D:\\Tools", L"explorer \"D:\\Tools\" "},
        {L"C:\\Program Files\\小工具 2", L"explorer \"C:\\Program Files\\小工具 2\" "},
        {L"Q:\\", L"explorer \"Q:\\\" "},
    };
    for (const Case& c : cases) {
        fake::FakePlatform platform;
        platform.programDirectory = c.directory;
        DefaultDirectoryOpener opener(platform);
        opener.openDefaultDirectory();
        opener.openDefaultDirectory();
        EXPECT_EQ(platform.launches, (TextList{c.commandLine, c.commandLine})) << c.directory;
        EXPECT_TRUE(platform.moves.empty());
        EXPECT_TRUE(platform.warnings.empty());
    }
}

}  // namespace
}  // namespace fenrallo
