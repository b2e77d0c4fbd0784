#include <gtest/gtest.h>

#include <QApplication>
#include <QLineEdit>
#include <QScrollBar>
#include <QTest>

#include "AppTestSupport.h"
#include "app/CDlgSubGoogle.h"
#include "app/platform/CReportList.h"
#include "app/platform/CTabWindow.h"

namespace {

class WindowLayoutTest : public WindowTest {
 protected:
  // Every shown control of every tab lies inside the window.
  void ExpectEverythingInside() {
    CSitemapDlg& w = Window();
    const QRect inside = w.rect();
    for (int tab = 0; tab < w.tabs()->count(); ++tab) {
      w.tabs()->setCurrentIndex(tab);
      QCoreApplication::processEvents();
      for (QWidget* child : w.findChildren<QWidget*>()) {
        if (!child->isVisible() || child->isWindow()) continue;
        const QRect r(child->mapTo(&w, QPoint(0, 0)), child->size());
        EXPECT_TRUE(inside.contains(r)) << "tab " << tab << " " << child->metaObject()->className() << " "
                                        << child->objectName().toStdString() << " at " << r.x() << "," << r.y()
                                        << " " << r.width() << "x" << r.height() << " in " << inside.width() << "x"
                                        << inside.height();
      }
    }
    w.tabs()->setCurrentIndex(0);
  }
  void ResizeTo(int width, int height) {
    Window().resize(width, height);
    QCoreApplication::processEvents();
  }
};

TEST_F(WindowLayoutTest, ThePagesFollowTheWindowFromItsMinimumToALargeSize) {
  CSitemapDlg& w = Window();
  ResizeTo(600, 400);  // below the minimum: the window keeps it
  EXPECT_EQ(w.size(), w.minimumSize());
  EXPECT_GE(w.minimumWidth(), 600);
  ExpectEverythingInside();

  ResizeTo(w.minimumWidth(), w.minimumHeight());
  ExpectEverythingInside();
  CDlgSubAction& page = *w.actionPage();
  const int addressWidth = page.Control(CDlgSubAction::kIdAddress)->width();
  const QSize listSize = page.Control(CDlgSubAction::kIdList)->size();
  const int includeWidth = page.Control(CDlgSubAction::kIdInclude)->width();
  const int sitemapWidth = w.googlePage()->Control(CDlgSubGoogle::kIdText)->width();

  ResizeTo(1400, 1000);
  EXPECT_EQ(w.size(), QSize(1400, 1000));
  ExpectEverythingInside();
  EXPECT_GT(page.Control(CDlgSubAction::kIdAddress)->width(), addressWidth + 200);
  EXPECT_GT(page.Control(CDlgSubAction::kIdList)->width(), listSize.width() + 200);
  EXPECT_GT(page.Control(CDlgSubAction::kIdList)->height(), listSize.height() + 100);
  EXPECT_GT(page.Control(CDlgSubAction::kIdInclude)->width(), includeWidth + 100);
  EXPECT_GT(w.googlePage()->Control(CDlgSubGoogle::kIdText)->width(), sitemapWidth + 200);
  // Start and Stop stay at the right edge, beside the address.
  const QRect stop(page.Control(CDlgSubAction::kIdStop)->mapTo(&w, QPoint(0, 0)), page.Control(CDlgSubAction::kIdStop)->size());
  EXPECT_GT(stop.right(), 1400 - 60);
}

TEST_F(WindowLayoutTest, TabLeavesTheCrawlListAndCtrlEndKeepsTheRowNumbersInView) {
  LoopbackServer server;
  ServeSite(server, 60);
  ASSERT_TRUE(server.Start());
  StartCrawl(server.origin());
  ASSERT_TRUE(WaitUntilIdle());
  QApplication::setActiveWindow(&Window());
  CReportList* list = Window().actionPage()->list();
  ASSERT_GT(list->RowCount(), 30);
  list->setFocus();
  QTest::keyClick(list, Qt::Key_Down);
  QTest::keyClick(list, Qt::Key_End, Qt::ControlModifier);
  EXPECT_EQ(list->currentIndex().row(), list->RowCount() - 1);
  EXPECT_EQ(list->horizontalScrollBar()->value(), 0);
  QTest::keyClick(list, Qt::Key_Home, Qt::ControlModifier);
  EXPECT_EQ(list->currentIndex().row(), 0);

  QTest::keyClick(list, Qt::Key_Tab);
  EXPECT_FALSE(list->hasFocus());
  EXPECT_NE(QApplication::focusWidget(), list);
}

}  // namespace
