#pragma once
#include <string>
#include <string_view>
#include <vector>

// Which query parameters a crawl takes off its addresses before it admits, compares, stores or
// writes them, so that two links differing only in a session id or a tracking parameter are one
// page. A name may hold "*" for any text ("utm_*"); names compare without regard to case and
// percent-encoded names decoded. A named parameter also goes from the path ("/a.html;jsessionid=1").
// With removeAll every query parameter goes except the kept ones; a kept name is never removed.
// The parameters that stay keep their order and their spelling. The default removes nothing.
class QueryRules {
 public:
  QueryRules() = default;
  QueryRules(const std::vector<std::string>& removeNames, bool removeAll, const std::vector<std::string>& keepNames);

  // True when the rules change no address.
  bool empty() const { return remove_.empty() && !removeAll_; }

  // A path with its query (as the crawl stores it) with the rules applied.
  std::string ApplyToPath(const std::string& pathAndQuery) const;
  // A full address with the rules applied; a text that is no http(s) address is left as it is.
  std::string ApplyToAddress(const std::string& address) const;

  // Whether name may be a rule: not empty, no "=", "&", ";", "#", "?" and no white space or
  // control character; problem says why not.
  static bool IsValidName(std::string_view name, std::string& problem);

 private:
  // Whether a parameter of this (still encoded) name goes.
  bool Removes(std::string_view encodedName, bool inQuery) const;

  std::vector<std::string> remove_;  // upper-cased, decoded
  std::vector<std::string> keep_;    // upper-cased, decoded
  bool removeAll_ = false;
};
