#pragma once
#include <nlohmann/json.hpp>

#include <cstdint>
#include <string>

#include "web/PageMarkup.h"

// The scripts a render runs in its page.

// Runs before any script of each new document: counts what keeps the page busy (timeouts and
// intervals shorter than timeoutMs, animation frames, fetch and XMLHttpRequest calls still
// open, scripts, style sheets and frames added after the load) and keeps service workers from
// being registered.
std::string SettleWatchScript(int32_t timeoutMs);

// An expression giving what the document shows: its base address, anchors, named metas and
// link elements, every address as the browser resolved it, and the document's timeOrigin.
std::string MarkupReader();

// The same, as a promise that waits until the page has loaded and nothing has been pending (as
// counted by SettleWatchScript) for quietMs.
std::string SettledMarkupReader(int32_t quietMs);

// Fills markup from a reader's value; false when the value is not of its shape.
bool MarkupFromReader(const nlohmann::json& value, PageMarkup& markup);
