#pragma once
#include <nlohmann/json.hpp>

#include <cstdint>
#include <string>

#include "web/PageMarkup.h"

// The scripts a render runs in its page.

// Runs before any script of each new document: counts what keeps the page busy (timeouts and
// intervals shorter than timeoutMs, animation frames, fetch and XMLHttpRequest calls still
// open) and keeps service workers from being registered.
std::string SettleWatchScript(int32_t timeoutMs);

// An expression giving [readyState, things pending, ms since the count last changed, the
// document's timeOrigin].
extern const char kSettleProbe[];

// An expression giving what the document shows: its base address, anchors, named metas and
// link elements, every address as the browser resolved it.
extern const char kMarkupReader[];

// Fills markup from kMarkupReader's value; false when the value is not of its shape.
bool MarkupFromReader(const nlohmann::json& value, PageMarkup& markup);
