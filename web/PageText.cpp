#include "web/PageText.h"

#include <cstdint>
#include <cstring>

#include "common/StringICompare.h"
#include "common/IconvConverter.h"
#include "common/TextCodec.h"
#include "web/ResponseHeaders.h"

namespace {

// How far into a page a meta element is looked for.
constexpr size_t kMetaScanBytes = 4096;

bool IsSpace(char c) { return IsAsciiWhitespace(static_cast<unsigned char>(c)); }

std::string TrimQuotesAndSpace(std::string value) {
  size_t b = 0, e = value.size();
  while (b < e && (IsSpace(value[b]) || value[b] == '"' || value[b] == '\'')) ++b;
  while (e > b && (IsSpace(value[e - 1]) || value[e - 1] == '"' || value[e - 1] == '\'')) --e;
  return value.substr(b, e - b);
}

// Labels browsers read as another set than their name says.
const char* BrowserAlias(const std::string& label) {
  static const struct {
    const char* label;
    const char* set;
  } kAliases[] = {
      {"utf8", "UTF-8"},           {"unicode-1-1-utf-8", "UTF-8"}, {"gb2312", "GB18030"},
      {"gbk", "GB18030"},          {"x-gbk", "GB18030"},           {"gb_2312-80", "GB18030"},
      {"chinese", "GB18030"},      {"csgb2312", "GB18030"},        {"iso-8859-1", "WINDOWS-1252"},
      {"latin1", "WINDOWS-1252"},  {"l1", "WINDOWS-1252"},         {"us-ascii", "WINDOWS-1252"},
      {"ascii", "WINDOWS-1252"},   {"iso8859-1", "WINDOWS-1252"},  {"utf-16", "UTF-16LE"},
      {"big5-hkscs", "BIG5-HKSCS"}, {"x-sjis", "SHIFT_JIS"},
  };
  for (const auto& alias : kAliases)
    if (label == alias.label) return alias.set;
  return nullptr;
}

bool ConverterKnows(const std::string& set) {
  IconvConverter probe("UTF-8", set);
  return probe.ok();
}

// The set a byte order mark names, and the mark's length.
std::string BomCharset(const std::string& text, size_t& length) {
  const auto* b = reinterpret_cast<const unsigned char*>(text.data());
  if (text.size() >= 3 && b[0] == 0xEF && b[1] == 0xBB && b[2] == 0xBF) {
    length = 3;
    return "UTF-8";
  }
  if (text.size() >= 2 && b[0] == 0xFE && b[1] == 0xFF) {
    length = 2;
    return "UTF-16BE";
  }
  if (text.size() >= 2 && b[0] == 0xFF && b[1] == 0xFE) {
    length = 2;
    return "UTF-16LE";
  }
  length = 0;
  return {};
}

// The attributes of one tag, read from just after its name; pos ends after the ">".
class TagAttributes {
 public:
  TagAttributes(const std::string& text, size_t& pos) : text_(text), pos_(pos) {}

  bool Next(std::string& name, std::string& value) {
    while (pos_ < text_.size() && (IsSpace(text_[pos_]) || text_[pos_] == '/')) ++pos_;
    if (pos_ >= text_.size() || text_[pos_] == '>') {
      if (pos_ < text_.size()) ++pos_;
      return false;
    }
    name.clear();
    value.clear();
    while (pos_ < text_.size() && !IsSpace(text_[pos_]) && text_[pos_] != '=' && text_[pos_] != '>' &&
           text_[pos_] != '/')
      name += text_[pos_++];
    name = ToLowerAscii(name);
    while (pos_ < text_.size() && IsSpace(text_[pos_])) ++pos_;
    if (pos_ >= text_.size() || text_[pos_] != '=') return true;
    ++pos_;
    while (pos_ < text_.size() && IsSpace(text_[pos_])) ++pos_;
    if (pos_ < text_.size() && (text_[pos_] == '"' || text_[pos_] == '\'')) {
      const char quote = text_[pos_++];
      const size_t end = text_.find(quote, pos_);
      value = text_.substr(pos_, end == std::string::npos ? std::string::npos : end - pos_);
      pos_ = end == std::string::npos ? text_.size() : end + 1;
    } else {
      while (pos_ < text_.size() && !IsSpace(text_[pos_]) && text_[pos_] != '>') value += text_[pos_++];
    }
    return true;
  }

 private:
  const std::string& text_;
  size_t& pos_;
};

// The charset= part of a content attribute ("text/html; charset=gbk").
std::string CharsetInContent(const std::string& content) {
  const std::string lower = ToLowerAscii(content);
  const size_t at = lower.find("charset");
  if (at == std::string::npos) return {};
  size_t p = at + 7;
  while (p < content.size() && IsSpace(content[p])) ++p;
  if (p >= content.size() || content[p] != '=') return {};
  std::string value = content.substr(p + 1);
  const size_t end = value.find(';');
  return TrimQuotesAndSpace(end == std::string::npos ? value : value.substr(0, end));
}

std::string MetaElementCharset(const std::string& text, size_t& pos) {
  std::string name, value, charset, content;
  bool pragma = false;
  TagAttributes attrs(text, pos);
  while (attrs.Next(name, value)) {
    if (name == "charset" && charset.empty()) charset = TrimQuotesAndSpace(value);
    if (name == "http-equiv" && EqualsIgnoreCase(TrimQuotesAndSpace(value), "content-type")) pragma = true;
    if (name == "content" && content.empty()) content = value;
  }
  if (!charset.empty()) return charset;
  return pragma ? CharsetInContent(content) : std::string();
}

// The bytes of a character that the end of the text cuts short (a page cut at the size limit
// or by the time-out): a lead byte followed by fewer continuation bytes than it announces.
// 0 when the text ends on a whole character.
size_t CutCharacterLength(const char* text, size_t length) {
  const auto* s = reinterpret_cast<const unsigned char*>(text);
  size_t continuations = 0;
  while (continuations < 3 && continuations < length && (s[length - 1 - continuations] & 0xC0) == 0x80) ++continuations;
  if (continuations == length) return 0;
  const unsigned char lead = s[length - 1 - continuations];
  const size_t needs = lead >= 0xF0 && lead <= 0xF4 ? 3 : lead >= 0xE0 && lead <= 0xEF ? 2 : lead >= 0xC2 && lead <= 0xDF ? 1 : 0;
  return needs > continuations ? continuations + 1 : 0;
}

// UTF-8 but for a last character cut short by the end of what arrived.
bool IsValidUtf8BeforeTheCut(const char* text, size_t length) {
  return IsValidUtf8(std::string_view(text, length - CutCharacterLength(text, length)));
}

// The set of the page text, as the converter names it.
// validUtf8 is set when the bytes were found to be valid UTF-8 on the way.
std::string DetectCharset(const std::string& headers, const std::string& body, size_t offset, size_t& bomLength,
                          bool& validUtf8) {
  std::string set = BomCharset(body.substr(offset, 3), bomLength);
  if (!set.empty()) return set;
  if (!headers.empty()) {
    set = CharsetForLabel(ResponseHeaders(headers).Charset());
    if (!set.empty()) return set;
  }
  set = CharsetForLabel(MetaCharset(body.substr(offset, kMetaScanBytes)));
  // A page that says it is UTF-16 in its own ASCII text is not.
  if (set == "UTF-16LE" || set == "UTF-16BE") set = "UTF-8";
  if (!set.empty()) return set;
  validUtf8 = IsValidUtf8BeforeTheCut(body.data() + offset, body.size() - offset);
  return validUtf8 ? "UTF-8" : "GB18030";
}

}  // namespace

std::string CharsetForLabel(const std::string& label) {
  const std::string lower = ToLowerAscii(TrimQuotesAndSpace(label));
  if (lower.empty() || lower.size() > 40) return {};
  if (const char* alias = BrowserAlias(lower)) return alias;
  const std::string upper = ToUpperAscii(lower);
  return ConverterKnows(upper) ? upper : std::string();
}

std::string MetaCharset(const std::string& page) {
  size_t pos = 0;
  while ((pos = page.find('<', pos)) != std::string::npos) {
    if (page.compare(pos, 4, "<!--") == 0) {
      const size_t end = page.find("-->", pos + 4);
      if (end == std::string::npos) return {};
      pos = end + 3;
      continue;
    }
    ++pos;
    if (pos + 4 <= page.size() && EqualsIgnoreCase(page.substr(pos, 4), "meta") &&
        (pos + 4 == page.size() || IsSpace(page[pos + 4]) || page[pos + 4] == '/')) {
      pos += 4;
      std::string set = MetaElementCharset(page, pos);
      if (!set.empty()) return set;
    }
  }
  return {};
}

PageText::PageText(const std::string& headers, const std::string& body) : body_(&body), converted_text_(&own_) {
  Read(headers);
}

PageText::PageText(const std::string& headers, const std::string& body, std::string& storage)
    : body_(&body), converted_text_(&storage) {
  Read(headers);
}

void PageText::Read(const std::string& headers) {
  const std::string& body = *body_;
  // The body begins with the blank line that ended the header block.
  const size_t offset = body.compare(0, 4, "\r\n\r\n") == 0 ? 4 : 0;
  size_t bomLength = 0;
  bool validUtf8 = false;
  charset_ = DetectCharset(headers, body, offset, bomLength, validUtf8);
  if (charset_ == "UTF-8" && bomLength == 0 &&
      (validUtf8 || IsValidUtf8BeforeTheCut(body.data() + offset, body.size() - offset)))
    return;
  converted_ = true;
  IconvConverter converter("UTF-8", charset_);
  ok_ = converter.ok() &&
        converter.ConvertAll(body.data() + offset + bomLength, body.size() - offset - bomLength, *converted_text_);
  if (!ok_) converted_text_->clear();
}
