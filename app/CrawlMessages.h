#pragma once
#include <cstdint>

#include "app/platform/WindowMessages.h"

// The messages a window's crawl consumer posts to it. lParam names the crawl they belong to,
// so a window ignores what an earlier crawl still posts.
constexpr uint32_t WM_CRAWL_RESULTS = WM_USER + 10;   // portions wait to be taken
constexpr uint32_t WM_CRAWL_FINISHED = WM_USER + 20;  // the crawl thread ends; wParam = the outcome
constexpr uint32_t WM_CRAWL_RESET = WM_USER + 30;     // posted by the crawl page when a crawl starts
