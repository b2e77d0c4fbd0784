#pragma once
#include <cstdint>
#include <string>

#include "web/MarkupPieces.h"
#include "web/PageLinks.h"
#include "web/PageMarkup.h"
#include "web/PageScratch.h"
#include "web/SiteOrigin.h"

// Adds the links of a fetched page to links: its anchors resolved against the page's address
// (or its base element), same-site paths to internal, other sites to external. Only HTML
// (or a response without Content-Type) is parsed; other types give no links. With the robots
// option, a page's meta robots and its anchors' rel="nofollow" are obeyed. 0 when the page
// was read (or is no HTML); -80 when the parser refused it or its text could not be decoded.
int32_t ExtractLinks(const std::string& headers, const std::string& body, const SiteOrigin& origin,
                     const std::string& pageAddress, PageLinks& links, const LinkOptions& options = {});
// The same, with the worker's scratch storage (released again before it returns).
int32_t ExtractLinks(const std::string& headers, const std::string& body, const SiteOrigin& origin,
                     const std::string& pageAddress, PageLinks& links, const LinkOptions& options,
                     PageScratch& scratch);

// Adds the links of markup read from the page at pageAddress, as ExtractLinks does with what
// it parsed: the base, meta robots and head links are judged and each anchor is resolved and
// classified. Also for markup read from a rendered document.
int32_t AddMarkupLinks(const PageMarkup& markup, const SiteOrigin& origin, const std::string& pageAddress,
                       PageLinks& links, const LinkOptions& options, PageScratch& scratch);

// What the parser reads of a page's UTF-8 text (its base, named metas and anchors), into
// scratch.page (cleared first), its link markup parsed in pieces of about pieceBytes (0: in
// one), with images its img and source elements too; 0, or -80 when the parser refused it.
int32_t ReadLinkMarkup(const std::string& utf8, PageScratch& scratch, size_t pieceBytes = kMarkupPieceBytes,
                       bool images = false);
