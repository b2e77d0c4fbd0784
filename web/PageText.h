#pragma once
#include <string>

// The text of a fetched page as UTF-8, for the HTML parser. The character set is the one the
// Content-Type header names, else the one a meta element near the top names (charset, or
// http-equiv Content-Type), else UTF-8 when the bytes are valid UTF-8, else GB18030. A byte
// order mark decides before all of these. Names the converter does not know are passed over.
// Sequences that are invalid in the set are dropped. The body is used as it is when it is
// valid UTF-8 already, so most pages cost no copy.
class PageText {
 public:
  PageText(const std::string& headers, const std::string& body);
  // The same, converting into storage (kept by the caller, so its room is reused page after page).
  PageText(const std::string& headers, const std::string& body, std::string& storage);
  PageText(const PageText&) = delete;
  PageText& operator=(const PageText&) = delete;

  // False when the text could not be converted (it is then empty).
  bool ok() const { return ok_; }
  const std::string& utf8() const { return converted_ ? *converted_text_ : *body_; }
  // The converter's name of the set the page was read in ("UTF-8", "GB18030", ...).
  const std::string& charset() const { return charset_; }

 private:
  void Read(const std::string& headers);

  const std::string* body_;
  std::string own_;
  std::string* converted_text_;
  std::string charset_;
  bool converted_ = false;
  bool ok_ = true;
};

// The character set a label names, as the converter knows it ("gb2312" reads as GB18030, as
// browsers read it); empty for a label no converter knows.
std::string CharsetForLabel(const std::string& label);
// The charset a meta element names within the first bytes of a page; empty when none does.
std::string MetaCharset(const std::string& page);
