#include "web/JsonText.h"

#include <charconv>

#include "common/DecimalNumber.h"
#include "common/TextCodec.h"
#include <climits>
#include <cmath>

namespace {

void AppendHex4(std::string& out, unsigned value) {
  static const char kDigits[] = "0123456789abcdef";
  out += "\\u";
  for (int shift = 12; shift >= 0; shift -= 4) out += kDigits[(value >> shift) & 0xF];
}

class Reader {
 public:
  Reader(std::string_view text, int maxDepth) : text_(text), maxDepth_(maxDepth) {}

  std::optional<JsonValue> Document() {
    JsonValue value;
    if (!Value(value, 0)) return std::nullopt;
    SkipSpace();
    if (pos_ != text_.size()) return std::nullopt;
    return value;
  }

 private:
  void SkipSpace() {
    while (pos_ < text_.size() && (text_[pos_] == ' ' || text_[pos_] == '\t' || text_[pos_] == '\n' || text_[pos_] == '\r'))
      ++pos_;
  }
  bool Take(char c) {
    SkipSpace();
    if (pos_ < text_.size() && text_[pos_] == c) {
      ++pos_;
      return true;
    }
    return false;
  }
  bool Word(std::string_view word) {
    if (text_.substr(pos_, word.size()) != word) return false;
    pos_ += word.size();
    return true;
  }

  bool Value(JsonValue& value, int depth) {
    if (depth > maxDepth_) return false;
    SkipSpace();
    if (pos_ >= text_.size()) return false;
    const char c = text_[pos_];
    if (c == '{') return Object(value, depth);
    if (c == '[') return Array(value, depth);
    if (c == '"') {
      value.kind = JsonValue::Kind::String;
      return String(value.text);
    }
    if (c == 't' || c == 'f') {
      value.kind = JsonValue::Kind::Bool;
      value.boolean = c == 't';
      return Word(c == 't' ? "true" : "false");
    }
    if (c == 'n') return Word("null");
    return Number(value);
  }

  bool Object(JsonValue& value, int depth) {
    value.kind = JsonValue::Kind::Object;
    ++pos_;
    if (Take('}')) return true;
    do {
      SkipSpace();
      std::string name;
      if (pos_ >= text_.size() || text_[pos_] != '"' || !String(name) || !Take(':')) return false;
      JsonValue member;
      if (!Value(member, depth + 1)) return false;
      value.members.emplace_back(std::move(name), std::move(member));
    } while (Take(','));
    return Take('}');
  }

  bool Array(JsonValue& value, int depth) {
    value.kind = JsonValue::Kind::Array;
    ++pos_;
    if (Take(']')) return true;
    do {
      JsonValue item;
      if (!Value(item, depth + 1)) return false;
      value.items.push_back(std::move(item));
    } while (Take(','));
    return Take(']');
  }

  bool Hex4(uint32_t& value) {
    if (pos_ + 4 > text_.size()) return false;
    const auto [end, ec] = std::from_chars(text_.data() + pos_, text_.data() + pos_ + 4, value, 16);
    if (ec != std::errc() || end != text_.data() + pos_ + 4) return false;
    pos_ += 4;
    return true;
  }

  bool Escape(std::string& out) {
    if (pos_ >= text_.size()) return false;
    const char c = text_[pos_++];
    switch (c) {
      case '"': case '\\': case '/': out += c; return true;
      case 'b': out += '\b'; return true;
      case 'f': out += '\f'; return true;
      case 'n': out += '\n'; return true;
      case 'r': out += '\r'; return true;
      case 't': out += '\t'; return true;
      case 'u': break;
      default: return false;
    }
    uint32_t cp = 0;
    if (!Hex4(cp)) return false;
    if (cp >= 0xD800 && cp < 0xDC00) {
      uint32_t low = 0;
      if (!Word("\\u") || !Hex4(low) || low < 0xDC00 || low >= 0xE000) return false;
      cp = 0x10000 + ((cp - 0xD800) << 10) + (low - 0xDC00);
    } else if (cp >= 0xDC00 && cp < 0xE000) {
      return false;
    }
    AppendUtf8(out, cp);
    return true;
  }

  bool String(std::string& out) {
    ++pos_;  // the opening quote
    while (pos_ < text_.size()) {
      const char c = text_[pos_++];
      if (c == '"') return true;
      if (static_cast<unsigned char>(c) < 0x20) return false;
      if (c == '\\') {
        if (!Escape(out)) return false;
      } else {
        out += c;
      }
    }
    return false;
  }

  bool Number(JsonValue& value) {
    const size_t begin = pos_;
    if (pos_ < text_.size() && text_[pos_] == '-') ++pos_;
    while (pos_ < text_.size() && std::string_view("0123456789+-.eE").find(text_[pos_]) != std::string_view::npos) ++pos_;
    const std::string_view written = text_.substr(begin, pos_ - begin);
    if (written.empty()) return false;
    const auto [end, ec] = std::from_chars(written.data(), written.data() + written.size(), value.number);
    if (ec != std::errc() || end != written.data() + written.size() || !std::isfinite(value.number)) return false;
    value.kind = JsonValue::Kind::Number;
    value.text = written;
    return true;
  }

  std::string_view text_;
  size_t pos_ = 0;
  const int maxDepth_;
};

}  // namespace

void AppendJsonString(std::string& out, std::string_view text) {
  out += '"';
  for (const char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      out += '\\';
      out += c;
    } else if (byte < 0x20 || byte == 0x7F) {
      AppendHex4(out, byte);
    } else {
      out += c;
    }
  }
  out += '"';
}

const JsonValue* JsonValue::Member(std::string_view name) const {
  if (kind != Kind::Object) return nullptr;
  for (const auto& [key, value] : members)
    if (key == name) return &value;
  return nullptr;
}

JsonValue::JsonValue() = default;

std::optional<int64_t> JsonValue::WholeNumber() const {
  if (kind != Kind::Number) return std::nullopt;
  return ParseSignedDecimal(text, INT64_MIN, INT64_MAX);
}

std::optional<JsonValue> ParseJson(std::string_view text, int maxDepth) {
  return Reader(text, maxDepth).Document();
}
