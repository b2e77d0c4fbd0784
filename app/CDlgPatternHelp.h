#pragma once
// The small modal dialog that explains the pattern syntax: include help shows string 134,
// exclude help string 135, in a read-only box (1021) whose lines wrap at its width, with the
// button "确定" (1).
#include "app/platform/CPlatformDialog.h"

class CDlgPatternHelp : public CPlatformDialog {
  Q_OBJECT
 public:
  enum class Topic { Include, Exclude };
  static constexpr int kIdText = 1021;
  CDlgPatternHelp(Topic topic, QWidget* parent = nullptr);
  static DialogTemplate Template();
};
