#pragma once
#include <string>

// Description column of the failure page and the failure file, for a recorded result code:
// - an HTTP status code: the status table's text; a code the table lacks gives "网络错误";
// - "curl N" (a transfer that failed without an HTTP answer): a Chinese description for the
//   common causes (unknown host, refused connection, time-out, TLS, certificate, redirects,
//   empty reply, send and receive failures; a missing CA bundle names the package that
//   brings it), libcurl's own text for the others;
// - the client's own negative codes ("-70", "-105", "-110", "-220"): what went wrong, in
//   Chinese; any other negative code "网络错误";
// - an empty code: the empty text.
std::string FailureDescription(const std::string& code);
// The same for a redirect answer, followed by where it pointed ("，指向 " and the address)
// when redirectTo is not empty.
std::string FailureDescription(const std::string& code, const std::string& redirectTo);
