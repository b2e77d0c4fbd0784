#pragma once
// Validates a sitemap document with libxml2 against the protocol's schema kept in
// tests/support/schemas (the urlset, image entries and xhtml:link alternates), the way a
// search engine's validator reads it.
#include <string>

// Empty when text is a valid sitemap (urlset) document, else libxml2's messages, one a line.
std::string SitemapSchemaProblems(const std::string& text);
