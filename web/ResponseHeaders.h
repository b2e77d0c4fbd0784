#pragma once
#include <string>
#include <utility>
#include <vector>

// The fields of one response's header block (the text before its blank line, status line
// first), as a server sent them.
class ResponseHeaders {
 public:
  explicit ResponseHeaders(const std::string& block);
  // StatusCode() of the block, reading only its first line.
  static std::string StatusCodeOf(const std::string& block);

  // The three-digit status code of the status line ("HTTP/1.1 404 Not Found" gives "404");
  // empty when the block does not start with such a line.
  const std::string& StatusCode() const { return status_; }

  // The value of the first field of that name (letter case ignored), without the white space
  // around it; empty when there is none. Continuation lines are joined with one space.
  std::string Field(const std::string& name) const;
  bool Has(const std::string& name) const;
  // Every field as (name, value), in the order sent.
  const std::vector<std::pair<std::string, std::string>>& Fields() const { return fields_; }

  // The media type of Content-Type in lower case ("text/html"); empty without the field.
  std::string MediaType() const;
  // Its charset parameter without quotes; empty when there is none.
  std::string Charset() const;
  // Whether the body is a page to take links from: HTML, XHTML, or no Content-Type at all.
  bool IsHtml() const;

 private:
  std::string status_;
  std::vector<std::pair<std::string, std::string>> fields_;
};
