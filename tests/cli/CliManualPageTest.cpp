// The man page and the bash completion of the command follow its --help text.
#include <gtest/gtest.h>

#include <chrono>
#include <regex>
#include <set>
#include <string>

#include "ChildProcess.h"
#include "support/TempDir.h"

namespace {
const std::filesystem::path kPackaging = std::filesystem::path(VELTRO_SOURCE_DIR) / "packaging";

// Every option name (-x and --word) that starts a line of the option lists.
std::set<std::string> OptionsOfHelp(const std::string& help) {
  std::set<std::string> options;
  static const std::regex line(R"(^ {2,6}(-[a-z], )?(--[a-z][a-z-]*))", std::regex::multiline);
  for (std::sregex_iterator it(help.begin(), help.end(), line), end; it != end; ++it) {
    if ((*it)[1].matched) options.insert((*it)[1].str().substr(0, 2));
    options.insert((*it)[2].str());
  }
  return options;
}

// Option names in roff source, where a '-' is written '\-'.
std::set<std::string> OptionsOfManPage(std::string roff) {
  roff = std::regex_replace(roff, std::regex(R"(\\-)"), "-");
  std::set<std::string> options;
  static const std::regex item(R"(\\fB(--?[a-z][a-z-]*)\\fR)");
  for (std::sregex_iterator it(roff.begin(), roff.end(), item), end; it != end; ++it) options.insert((*it)[1].str());
  return options;
}

std::string HelpText() {
  TempDir dir;
  ChildProcess child(VELTRO_CLI_PATH, {"--help"}, dir.path());
  ChildResult result = child.Wait(std::chrono::seconds(30));
  EXPECT_TRUE(result.exited && result.exitStatus == 0);
  return result.out;
}
}  // namespace

TEST(CliManualPage, NamesEveryOptionOfHelpAndNoOther) {
  std::set<std::string> help = OptionsOfHelp(HelpText());
  ASSERT_GE(help.size(), 20u) << "the option lines of --help were not recognised";
  std::set<std::string> page = OptionsOfManPage(ReadFileBytes(kPackaging / "man" / "veltro-sitemap-cli.1"));
  for (const std::string& option : help) EXPECT_TRUE(page.count(option)) << option << " is missing from the man page";
  for (const std::string& option : page) EXPECT_TRUE(help.count(option)) << option << " is in the man page only";
}

TEST(CliBashCompletion, OffersEveryOptionOfHelp) {
  const std::string script = ReadFileBytes(kPackaging / "bash-completion" / "veltro-sitemap-cli");
  ASSERT_FALSE(script.empty());
  for (const std::string& option : OptionsOfHelp(HelpText())) {
    EXPECT_TRUE(std::regex_search(script, std::regex("[ \"]" + option + "[ \"\n]"))) << option << " is not offered";
  }
}
