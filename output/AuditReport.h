#pragma once
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "crawl/AuditRow.h"
#include "output/FileWriteResult.h"

// The report of the audit of a site's own sitemap: <site>_audit.tsv, UTF-8, a header line and
// one row a line (kind, address, code, detail).

// The machine-readable word of a kind: "orphan", "missing", ... "format".
const char* AuditKindWord(AuditKind kind);
// The detail column: what is wrong for a format row, else the row's own detail.
std::string AuditDetail(const AuditRow& row);
// One line of the file, with its LF.
std::string AuditTsvLine(const AuditRow& row);
inline constexpr const char* kAuditTsvHeader = "kind\taddress\tcode\tdetail\n";
// How many rows of each kind, in the order of AuditKind.
std::array<size_t, kAuditKindCount> AuditCounts(const std::vector<AuditRow>& rows);
inline std::string AuditReportName(const std::string& site) { return site + "_audit.tsv"; }
// Writes the report to path, replacing an earlier one only once complete: ok or the failure
// with the file and the cause, the outcome into result when given.
Status SaveAuditReport(const std::string& path, const std::vector<AuditRow>& rows, FileWriteResult* result = nullptr);
