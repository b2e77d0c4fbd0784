#pragma once
#include <cstddef>
#include <string>
#include <vector>

// Tidy's tree for a document takes some seventeen times the markup it reads, and it is given
// back only when the document goes. A page's link markup longer than this is parsed in pieces
// of about this size, each a document of its own, so a page costs one piece's tree at a time.
constexpr size_t kMarkupPieceBytes = 32 * 1024;

// One piece: markup[begin, end), read after context, which stands for what the markup before
// the piece left open: its declarations and html start tag, "<body>" once the body has begun,
// and the start tags of the noscript, svg, math and select elements still open (inside them
// the parser sets anchors aside).
struct MarkupPiece {
  size_t begin = 0;
  size_t end = 0;
  std::string context;
};

// Cuts link markup (see LinkMarkupOf) into pieces of about pieceBytes, each cut where a tag
// begins; one piece for markup no longer than that, or when pieceBytes is 0. A tag that never
// ends stays in the last piece with everything after it.
std::vector<MarkupPiece> MarkupPieces(const std::string& markup, size_t pieceBytes);
