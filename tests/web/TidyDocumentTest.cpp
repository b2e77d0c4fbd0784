#include <gtest/gtest.h>

#include <clocale>
#include <cstdlib>
#include <string>

#include "web/TidyDocument.h"

namespace {

// Sets an environment variable for the life of the object and puts the old value back.
class ScopedEnv {
 public:
  ScopedEnv(const char* name, const char* value) : name_(name) {
    if (const char* old = std::getenv(name)) {
      had_ = true;
      old_ = old;
    }
    setenv(name, value, 1);
  }
  ~ScopedEnv() {
    if (had_)
      setenv(name_, old_.c_str(), 1);
    else
      unsetenv(name_);
  }

 private:
  const char* name_;
  bool had_ = false;
  std::string old_;
};

}  // namespace

// Tidy, left to pick its message language, calls setlocale(LC_ALL, "") for every document it
// makes: the whole process would switch to the environment's locale while other workers run.
TEST(TidyDocumentTest, MakingADocumentLeavesTheProcessLocaleAlone) {
  const std::string before = std::setlocale(LC_ALL, nullptr);
  ASSERT_NE(std::setlocale(LC_ALL, "C"), nullptr);
  {
    ScopedEnv env("LC_ALL", "C.UTF-8");
    TidyDocument doc;
    ASSERT_TRUE(doc.ok());
    EXPECT_GE(doc.Parse("<html><body><a href=\"/a\">a</a></body></html>"), 0);
    EXPECT_STREQ(std::setlocale(LC_ALL, nullptr), "C");
  }
  std::setlocale(LC_ALL, before.c_str());
}
