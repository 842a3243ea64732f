#include "CliRunner.h"

#include <gtest/gtest.h>

using quiltara::test::RunCli;

TEST(CliBasics, VersionAndHelpAnswerWithoutFailing) {
    const auto version = RunCli("--version");
    EXPECT_EQ(version.status, 0);
    EXPECT_EQ(version.output.rfind("quiltara-cli ", 0), 0u) << version.output;

    const auto help = RunCli("--help");
    EXPECT_EQ(help.status, 0);
    EXPECT_NE(help.output.find("usage: quiltara-cli COMMAND"), std::string::npos) << help.output;
}

TEST(CliBasics, UnknownCommandAndNoArgumentsFail) {
    const auto unknown = RunCli("no-such-command");
    EXPECT_EQ(unknown.status, 2);
    EXPECT_NE(unknown.output.find("unknown command 'no-such-command'"), std::string::npos);
    EXPECT_EQ(RunCli("").status, 2);
}
