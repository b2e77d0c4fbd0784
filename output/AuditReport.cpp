#include "output/AuditReport.h"

#include "output/CReplacingFile.h"
#include "output/FailureTsv.h"

namespace {

std::string Quoted(const std::string& value) { return "'" + value + "'"; }

std::string AtLine(int32_t line) { return line > 0 ? " (line " + std::to_string(line) + ")" : ""; }

std::string FindingText(const SitemapFinding& f) {
  switch (f.fault) {
    case SitemapFault::Namespace:
      return "namespace " + (f.value.empty() ? std::string("missing") : Quoted(f.value)) + ", not " +
             kSitemapNamespace + AtLine(f.line);
    case SitemapFault::Lastmod: return "lastmod " + Quoted(f.value) + " is not W3C date-time" + AtLine(f.line);
    case SitemapFault::Changefreq: return "changefreq " + Quoted(f.value) + " is not a protocol word" + AtLine(f.line);
    case SitemapFault::Priority: return "priority " + Quoted(f.value) + " is not 0.0 to 1.0" + AtLine(f.line);
    case SitemapFault::TooManyAddresses:
      return "over " + std::to_string(kMaxSitemapAddresses) + " addresses; the rest was not read" + AtLine(f.line);
    case SitemapFault::TooLarge: return "over 50 MB uncompressed; the rest was not read";
    case SitemapFault::TooManyElements: return "far more elements than a sitemap holds; not read";
    case SitemapFault::NotWellFormed:
      return "not well-formed XML" + AtLine(f.line) + (f.value.empty() ? "" : ": " + f.value);
    case SitemapFault::NotSitemap:
      return "not a sitemap: the root is " + (f.value.empty() ? std::string("missing") : Quoted(f.value));
    case SitemapFault::Empty: return "empty";
    case SitemapFault::NotGzip: return "starts as gzip but is not a gzip stream";
    case SitemapFault::Truncated: return "gzip stream cut short";
    case SitemapFault::EntityDeclarations: return "DOCTYPE declares entities; not read";
    case SitemapFault::NotAddress:
      return (f.value.empty() ? std::string("an entry without an address") : Quoted(f.value) + " is not an http(s) address") +
             AtLine(f.line);
    case SitemapFault::NotUtf8: return "not in UTF-8; read as GBK";
    case SitemapFault::Duplicate: return "listed twice: " + f.value + AtLine(f.line);
    case SitemapFault::IndexLoop: return "names a sitemap already read: " + f.value;
    case SitemapFault::TooManyDocuments:
      return "over " + std::to_string(kMaxSitemapDocuments) + " sitemap documents; the rest was not read";
    case SitemapFault::Unreadable: return "could not be read" + (f.value.empty() ? "" : " (named by " + f.value + ")");
    case SitemapFault::NotFound:
      return "the site has no sitemap: robots.txt names none, and /sitemap.xml, /sitemap_index.xml and /sitemap.txt "
             "answer none";
  }
  return {};
}

}  // namespace

const char* AuditKindWord(AuditKind kind) {
  switch (kind) {
    case AuditKind::Orphan: return "orphan";
    case AuditKind::Missing: return "missing";
    case AuditKind::Redirect: return "redirect";
    case AuditKind::Error: return "error";
    case AuditKind::Noindex: return "noindex";
    case AuditKind::Canonicalised: return "canonicalised";
    case AuditKind::Blocked: return "blocked";
    case AuditKind::Offsite: return "offsite";
    case AuditKind::TooLong: return "toolong";
    case AuditKind::Format: return "format";
  }
  return "format";
}

std::string AuditDetail(const AuditRow& row) { return row.finding ? FindingText(*row.finding) : row.detail; }

std::string AuditTsvLine(const AuditRow& row) {
  return std::string(AuditKindWord(row.kind)) + '\t' + TsvField(row.address) + '\t' + TsvField(row.outcome.Text()) +
         '\t' + TsvField(AuditDetail(row)) + '\n';
}

std::array<size_t, kAuditKindCount> AuditCounts(const std::vector<AuditRow>& rows) {
  std::array<size_t, kAuditKindCount> counts{};
  for (const AuditRow& row : rows) ++counts[static_cast<size_t>(row.kind)];
  return counts;
}

Status SaveAuditReport(const std::string& path, const std::vector<AuditRow>& rows, FileWriteResult* result) {
  constexpr size_t kPiece = 64 * 1024;
  CReplacingFile out(path);
  if (out.isOpen()) {
    std::string piece = kAuditTsvHeader;
    bool ok = true;
    for (const AuditRow& row : rows) {
      piece += AuditTsvLine(row);
      if (piece.size() < kPiece) continue;
      ok = out.Write(piece);
      if (!ok) break;
      piece.clear();
    }
    if (ok && out.Write(piece)) out.Commit();
  }
  if (result) *result = out.result();
  return out.status();
}
