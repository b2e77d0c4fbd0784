#pragma once
// The password question asked when a crawl starts whose settings name a user but keep no
// password: the text names the site and the user, edit 1070 takes the password (hidden), check
// box 1071 "记住密码" stores it with the settings. After OK, password() and remember() give
// them; Cancel starts no crawl.
//
// Run() shows it modally; under test a hook takes the place of the modal run.
#include <functional>
#include <string>

#include "app/platform/CPlatformDialog.h"

class CDlgPassword : public CPlatformDialog {
  Q_OBJECT
 public:
  static constexpr int kIdPrompt = 1069;
  static constexpr int kIdPassword = 1070;
  static constexpr int kIdRemember = 1071;

  CDlgPassword(const std::string& user, const std::string& host, QWidget* parent = nullptr);
  static DialogTemplate Template();

  // The modal run (or the hook's); returns the closing code, 1 for OK.
  int Run();
  const std::string& password() const { return password_; }
  bool remember() const { return remember_; }

  static void SetRunHook(std::function<int(CDlgPassword& dialog)> hook);

 protected:
  void OnOK() override;

 private:
  std::string password_;
  bool remember_ = false;
};
