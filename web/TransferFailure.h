#pragma once
#include <cstdint>
#include <string>

// The result code text of a fetch that ended without an HTTP status, as the failure page,
// the failure file and the URL store keep it: libcurl's code N (N > 0) gives "curl N", the
// client's own negative codes their decimal text ("-70"), and 0 (a transfer that worked)
// the empty text.
std::string TransferFailureCode(int32_t fetchResult);

// The libcurl code N of a "curl N" text; false for any other text (HTTP status codes and the
// client's negative codes included).
bool ParseCurlFailureCode(const std::string& code, int& curlCode);

// libcurl's own description of its code N, in English.
std::string CurlErrorText(int curlCode);
