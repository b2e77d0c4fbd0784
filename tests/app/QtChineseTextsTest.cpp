#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QFileDialog>
#include <QHeaderView>
#include <QMessageBox>
#include <QTimer>
#include <QTreeView>

#include "app/platform/MessageBox.h"
#include "app/platform/VisualStyle.h"

namespace {

// Reads what the modal window shows once it is up, then closes it the way given.
template <typename Read>
void WhenModalShows(Read read) {
  QTimer::singleShot(50, [read] {
    QWidget* modal = QApplication::activeModalWidget();
    if (!modal) {
      ADD_FAILURE() << "no modal window";
      return;
    }
    read(modal);
  });
}

QStringList ButtonTexts(QWidget* box) {
  QStringList texts;
  for (QAbstractButton* b : box->findChildren<QAbstractButton*>()) texts << b->text();
  return texts;
}

TEST(QtChineseTextsTest, QuestionAndMessageButtonsAreChineseInBothLooks) {
  for (int style : {0, 4}) {
    ApplyVisualStyle(style);
    QStringList question, message;
    WhenModalShows([&question](QWidget* box) {
      question = ButtonTexts(box);
      static_cast<QMessageBox*>(box)->button(QMessageBox::No)->click();
    });
    EXPECT_FALSE(AskYesNo(nullptr, L"继续？"));
    WhenModalShows([&message](QWidget* box) {
      message = ButtonTexts(box);
      static_cast<QMessageBox*>(box)->button(QMessageBox::Ok)->click();
    });
    ShowMessageBox(nullptr, L"说明");
    EXPECT_TRUE(question.join(' ').contains(QStringLiteral("是"))) << question.join(' ').toStdString();
    EXPECT_TRUE(question.join(' ').contains(QStringLiteral("否"))) << question.join(' ').toStdString();
    EXPECT_FALSE(question.join(' ').contains(QStringLiteral("Yes"))) << question.join(' ').toStdString();
    EXPECT_TRUE(message.join(' ').contains(QStringLiteral("确定"))) << message.join(' ').toStdString();
  }
  ApplyVisualStyle(0);
}

TEST(QtChineseTextsTest, TheSaveDialogsColumnsAreChinese) {
  QStringList columns;
  WhenModalShows([&columns](QWidget* dialog) {
    if (auto* tree = dialog->findChild<QTreeView*>()) {
      QAbstractItemModel* model = tree->header()->model();
      for (int i = 0; i < model->columnCount(); ++i) columns << model->headerData(i, Qt::Horizontal).toString();
    }
    static_cast<QDialog*>(dialog)->reject();
  });
  EXPECT_FALSE(AskSaveFileName(nullptr, QStringLiteral("a_urls.txt")).has_value());
  ASSERT_EQ(columns.size(), 4) << columns.join('|').toStdString();
  EXPECT_EQ(columns[0], QStringLiteral("名称")) << columns.join('|').toStdString();
  EXPECT_FALSE(columns.join('|').contains(QStringLiteral("Date Modified"))) << columns.join('|').toStdString();
}

}  // namespace
