#pragma once
#include <cstdint>
#include <string>

#include "common/Status.h"
#include "store/UrlState.h"

// The record of one URL. It holds no URL: the URL is the key it is stored under.
struct url_prop {
  int32_t depth = 2147483647;
  int32_t state = Waiting;
  int32_t excludedFlag = 0;
  std::string code = "200";
  // The key of the record whose link admitted this URL, while that record is in the same
  // store (keys never move); null for a start address. Not part of the archive text.
  const std::string* parent = nullptr;
};

// The archive text of a record: "22 serialization::archive 9 0 0 <depth> <state> <flag> <len> <code>".
// kParse when the text cannot be built (text is then left as it was).
Status ToText(const url_prop& record, std::string& text);
// kEmpty for an empty text; kParse when the text is not such an archive. On kParse the fields
// read before the fault keep their new values.
Status FromText(const std::string& text, url_prop& record);
