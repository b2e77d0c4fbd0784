// The windows need a QApplication; tests run on the offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>

#include "app/platform/QtTranslations.h"

int main(int argc, char** argv) {
  qputenv("QT_QPA_PLATFORM", "offscreen");
  QApplication app(argc, argv);
  InstallQtChineseTranslations(app);  // as the program does
  ::testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
