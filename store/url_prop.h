#pragma once
#include <cstdint>
#include <string>

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
// 0, or -80 when the text cannot be built (text is then left as it was).
int32_t ToText(const url_prop& record, std::string& text);
// 0; -70 for an empty text; -80 when the text is not such an archive. On -80 the fields read
// before the fault keep their new values.
int32_t FromText(const std::string& text, url_prop& record);
