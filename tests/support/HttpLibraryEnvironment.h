#pragma once
#include <gtest/gtest.h>

#include "web/HttpGlobal.h"

// libcurl's process-wide set-up around every test of an executable that fetches, as the main
// window makes it: add with ::testing::AddGlobalTestEnvironment(new HttpLibraryEnvironment).
class HttpLibraryEnvironment : public ::testing::Environment {
 public:
  void SetUp() override { HttpGlobalInit(); }
  void TearDown() override { HttpGlobalCleanup(); }
};
