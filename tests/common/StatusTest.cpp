#include <gtest/gtest.h>

#include <sstream>
#include <string>

#include "common/ResultCodes.h"
#include "common/Status.h"

// The numbers are what journals, failure lists and exit statuses hold: a renumbered code would
// misread every stored one.
TEST(StatusTest, CodesKeepTheNumbersThatAreStoredAndShown) {
  EXPECT_EQ(Status(StatusCode::kFileOpen).Number(), -10);
  EXPECT_EQ(Status(StatusCode::kEmpty).Number(), -70);
  EXPECT_EQ(Status(StatusCode::kDbOpen).Number(), -230);
  EXPECT_EQ(Status(StatusCode::kNewerFormat).Number(), -260);
  EXPECT_EQ(Status(StatusCode::kStopped).Number(), -500);
  EXPECT_EQ(Status(StatusCode::kGeneral).Number(), -10000);
  EXPECT_EQ(rc::kDbWrite, Status(StatusCode::kDbWrite).Number());  // the plain numbers follow the names
  EXPECT_EQ(Status().Number(), 0);
}

TEST(StatusTest, FailureKeepsItsWordsAndSuccessHoldsNone) {
  const Status failed(StatusCode::kDbOpen, "IO error: db/x/LOCK: Permission denied");
  EXPECT_FALSE(failed.ok());
  EXPECT_TRUE(failed == StatusCode::kDbOpen);
  EXPECT_EQ(failed.message(), "IO error: db/x/LOCK: Permission denied");
  EXPECT_EQ(failed.ToString(), "DbOpen (-230): IO error: db/x/LOCK: Permission denied");
  const Status copied = failed;
  EXPECT_EQ(copied.message(), failed.message());

  const Status ok(StatusCode::kOk, "ignored");
  EXPECT_TRUE(ok.ok());
  EXPECT_TRUE(ok.message().empty());
  EXPECT_EQ(ok.ToString(), "OK");
  EXPECT_EQ(Status(StatusCode::kNotOpen).ToString(), "NotOpen (-300)");

  std::ostringstream named;
  named << StatusCode::kRecordRead << " " << static_cast<StatusCode>(-1);
  EXPECT_EQ(named.str(), "RecordRead (-100) Unknown (-1)");
}
