#include "app/data_files.h"
#include "app/program_arguments.h"
#include "support/temp_database.h"

#include <gtest/gtest.h>

#include <fstream>

namespace fs = std::filesystem;
using Action = app::ProgramArguments::Action;

namespace {

struct ArgumentCase {
    std::vector<std::string> arguments;
    Action action;
    std::string book;
};

void PrintTo(const ArgumentCase &c, std::ostream *out)
{
    for (const std::string &argument : c.arguments)
        *out << '[' << argument << ']';
}

class ProgramArguments : public testing::TestWithParam<ArgumentCase> {};

} // namespace

TEST_P(ProgramArguments, Read)
{
    const ArgumentCase &c = GetParam();
    const app::ProgramArguments result = app::parseProgramArguments(c.arguments);
    EXPECT_EQ(result.action, c.action);
    EXPECT_EQ(result.book, c.book);
    EXPECT_EQ(result.problem.empty(), c.action != Action::Refuse);
}

INSTANTIATE_TEST_SUITE_P(
    Lines, ProgramArguments,
    testing::Values(ArgumentCase{{}, Action::Run, ""}, ArgumentCase{{"家.mdb"}, Action::Run, "家.mdb"},
                    ArgumentCase{{""}, Action::Run, ""}, ArgumentCase{{"--help"}, Action::Help, ""},
                    ArgumentCase{{"a.mdb", "-h"}, Action::Help, ""}, ArgumentCase{{"-v"}, Action::Version, ""},
                    // Help wins over what the line does wrong.
                    ArgumentCase{{"-platform", "offscreen", "--version"}, Action::Version, ""},
                    ArgumentCase{{"--bogus"}, Action::Refuse, ""}, ArgumentCase{{"a.mdb", "b.mdb"}, Action::Refuse, ""},
                    ArgumentCase{{"--", "-odd.mdb"}, Action::Run, "-odd.mdb"},
                    ArgumentCase{{"--", "--help"}, Action::Run, "--help"}));

TEST(ProgramFiles, HelpPageBesideTheProgramThenInTheDataFolder)
{
    const fs::path root = testing_support::makeTempFolder();
    const fs::path bin = root / "bin";
    const fs::path beside = bin / "Pennaro.html";
    const fs::path installed = root / "share/pennaro/Pennaro.html";
    fs::create_directories(installed.parent_path());
    fs::create_directories(bin);
    // Neither: beside the program, where the viewer says it is missing.
    EXPECT_EQ(app::helpPagePath(bin.string()), beside.string());
    std::ofstream(installed) << "x";
    EXPECT_EQ(app::helpPagePath(bin.string()), installed.string());
    std::ofstream(beside) << "x";
    EXPECT_EQ(app::helpPagePath(bin.string()), beside.string());
    fs::remove_all(root);
}
