#include "app/CommandLine.h"

#include <gtest/gtest.h>
#include <string>
#include <vector>

using namespace lumavine;

namespace {

using Arguments = std::vector<std::string>;

std::string describe(const Arguments& arguments)
{
    std::string text;
    for (const std::string& argument : arguments)
        text += "'" + argument + "' ";
    return text;
}

}

TEST(CommandLine, TheModesThatGenerateTakeTheNumberOfJobsAndFull)
{
    struct Good {
        Arguments arguments;
        CommandLine::Mode mode;
        int jobs;
        bool full;
    };
    const Good goods[] = {
        { { "--generate", "site.xml" }, CommandLine::Mode::Generate, 0, false },
        { { "--generate", "site.xml", "--jobs", "1" }, CommandLine::Mode::Generate, 1, false },
        { { "--generate", "--jobs", "256", "site.xml" }, CommandLine::Mode::Generate, 256, false },
        { { "--generate", "site.xml", "--full" }, CommandLine::Mode::Generate, 0, true },
        { { "--save", "--full", "site.xml", "--jobs", "3" }, CommandLine::Mode::Save, 3, true },
        { { "--publish", "site.xml", "--connection", "home", "--jobs", "2", "--no-custom-files", "--full" },
            CommandLine::Mode::Publish, 2, true },
    };
    for (const Good& good : goods) {
        CommandLine commandLine;
        ASSERT_TRUE(commandLine.parse(good.arguments)) << describe(good.arguments) << commandLine.error();
        EXPECT_EQ(commandLine.mode(), good.mode) << describe(good.arguments);
        EXPECT_EQ(commandLine.project(), "site.xml") << describe(good.arguments);
        EXPECT_EQ(commandLine.generationJobs(), good.jobs) << describe(good.arguments);
        EXPECT_EQ(commandLine.fullGeneration(), good.full) << describe(good.arguments);
    }
    CommandLine publish;
    ASSERT_TRUE(publish.parse({ "--publish", "site.xml", "--full", "--connection", "home", "--no-content-files" }));
    EXPECT_EQ(publish.connection(), "home");
    EXPECT_FALSE(publish.contentFiles());
    EXPECT_TRUE(publish.customFiles());

    // A parse starts afresh: nothing of an earlier command line lingers.
    CommandLine reused;
    ASSERT_TRUE(reused.parse({ "--save", "site.xml", "--jobs", "4", "--full" }));
    ASSERT_TRUE(reused.parse({ "--save", "site.xml" }));
    EXPECT_EQ(reused.generationJobs(), 0);
    EXPECT_FALSE(reused.fullGeneration());
}

TEST(CommandLine, RefusesABadNumberOfJobsAndTheOptionsWhereNothingIsGenerated)
{
    struct Bad {
        Arguments arguments;
        std::string error;
    };
    const std::string range = "--jobs needs a whole number from 1 to 256, not ";
    const Bad bads[] = {
        { { "--generate", "site.xml", "--jobs", "0" }, range + "'0'" },
        { { "--generate", "site.xml", "--jobs", "257" }, range + "'257'" },
        { { "--generate", "site.xml", "--jobs", "-2" }, range + "'-2'" },
        { { "--generate", "site.xml", "--jobs", "+2" }, range + "'+2'" },
        { { "--generate", "site.xml", "--jobs", "2.5" }, range + "'2.5'" },
        { { "--generate", "site.xml", "--jobs", "2 " }, range + "'2 '" },
        { { "--generate", "site.xml", "--jobs", "" }, range + "''" },
        { { "--save", "site.xml", "--jobs", "many" }, range + "'many'" },
        { { "--save", "site.xml", "--jobs", "99999999999999999999" }, range + "'99999999999999999999'" },
        { { "--save", "--jobs", "site.xml" }, range + "'site.xml'" },
        { { "--publish", "site.xml", "--connection", "home", "--jobs", "0" }, range + "'0'" },
        { { "--generate", "site.xml", "--jobs" }, "--jobs needs N, the number of pictures drawn at once (1 to 256)" },
        { { "--generate", "site.xml", "--jobs", "2", "--jobs", "2" }, "--jobs given twice" },
        { { "--generate", "site.xml", "--fast" }, "--generate does not take '--fast'" },
        { { "--generate", "--full" }, "--generate needs exactly one PROJECT.xml" },
        { { "--save", "a.xml", "b.xml", "--full" }, "--save needs exactly one PROJECT.xml" },
        { { "--jobs", "2" }, "'--jobs' goes with --generate, --save or --publish" },
        { { "--full", "site.xml" }, "'--full' goes with --generate, --save or --publish" },
        { { "site.xml", "--full" },
            "the designer does not take '--full'; it goes with --generate, --save or --publish" },
        { { "--new", "projects", "site", "--jobs", "2" }, "--new does not take '--jobs'" },
        { { "--help", "--full" }, "--help takes no arguments" },
        { { "--version", "--jobs", "2" }, "--version takes no arguments" },
    };
    for (const Bad& bad : bads) {
        CommandLine commandLine;
        EXPECT_FALSE(commandLine.parse(bad.arguments)) << describe(bad.arguments);
        EXPECT_EQ(commandLine.error(), bad.error) << describe(bad.arguments);
    }

    // The options the usage shows are the ones the modes take.
    const std::string usage = CommandLine::usage();
    for (const char* shown : { "--generate PROJECT.xml [--jobs N] [--full]", "--save PROJECT.xml [--jobs N] [--full]",
             "[--no-custom-files] [--jobs N] [--full]", "  --jobs N ", "  --full " })
        EXPECT_NE(usage.find(shown), std::string::npos) << shown << "\n" << usage;
}
