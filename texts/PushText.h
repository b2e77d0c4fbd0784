#pragma once
#include <string>
#include <vector>

#include "output/SearchEnginePush.h"

// What became of a push to the search engines, as both front ends show it (UTF-8). The
// engines' own messages are quoted as they came; the token is never part of any text.

// One line for the status line: each engine tried, in a few words.
std::string PushSummaryText(const PushOutcome& outcome);
// The whole account: per engine how many were sent and accepted, the quota left, the
// addresses refused and why, or the problem and what to do about it. One line each.
std::string PushReportText(const PushOutcome& outcome);
// The parts of it.
std::string BaiduReportText(const BaiduPushReport& report);
std::string IndexNowReportText(const IndexNowReport& report, const std::string& key);
// Our explanation of an IndexNow status the protocol names (400, 403, 422, 429).
std::string IndexNowStatusText(const std::string& status);

// The advice for a robots.txt that names no sitemap, with the lines to add (one a line).
std::string RobotsSitemapAdviceText(const std::vector<std::string>& lines);
