#include <gtest/gtest.h>

#include <QApplication>
#include <QEnterEvent>
#include <QSignalSpy>
#include <QTest>

#include "app/CButtonST.h"

TEST(ButtonST, EnteringRedrawsItInTheHoverStateOnceAndLeavingRedrawsItBack) {
  CButtonST button;
  button.SetIcon(QIcon(QStringLiteral(":/icons/close.svg")), QSize(20, 20));
  button.resize(30, 30);
  button.show();
  EXPECT_TRUE(button.isFlatButton());
  EXPECT_FALSE(button.isHover());
  QEnterEvent enter(QPointF(5, 5), QPointF(5, 5), QPointF(5, 5));
  QCoreApplication::sendEvent(&button, &enter);
  QTest::mouseMove(&button, QPoint(6, 6));
  EXPECT_TRUE(button.isHover());
  EXPECT_EQ(button.hoverRedraws(), 1);
  QEvent leave(QEvent::Leave);
  QCoreApplication::sendEvent(&button, &leave);
  EXPECT_FALSE(button.isHover());
  EXPECT_EQ(button.hoverRedraws(), 2);
  QCoreApplication::sendEvent(&button, &leave);
  EXPECT_EQ(button.hoverRedraws(), 2);
}

TEST(ButtonST, SizeToContentTakesTheIconSizeAndAClickReachesTheParent) {
  CButtonST button;
  button.move(7, 9);
  button.SetIcon(QIcon(QStringLiteral(":/icons/minimise.svg")), QSize(24, 22));
  button.SizeToContent();
  EXPECT_EQ(button.geometry(), QRect(7, 9, 24, 22));
  QSignalSpy clicked(&button, &QAbstractButton::clicked);
  button.show();
  QTest::mouseClick(&button, Qt::LeftButton);
  EXPECT_EQ(clicked.count(), 1);
  EXPECT_FALSE(button.isChecked());
  QImage image = button.grab().toImage();
  EXPECT_FALSE(image.isNull());
}
