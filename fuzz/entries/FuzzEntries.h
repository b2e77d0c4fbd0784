#pragma once
// Entry functions of the fuzz targets. Each fuzz/<name>.cpp hands its input to one of them,
// and the seed replay test in the normal build runs every committed seed through the same
// functions, so both exercise exactly this code.
//
// An entry never throws. When an invariant of the code under test breaks it reports what
// broke on stderr and aborts (FuzzCheck), which the fuzzer records as a crash and the replay
// test as a failed run.
#include <cstddef>
#include <cstdint>

// A fetched page: the input up to the first "\r\n\r\n" is the header block, the rest (from
// that blank line on) the body, as the HTTP client hands them over; an input without a blank
// line is all body, with an empty header block. Links are extracted for a page of
// http://www.example.com, robots rules obeyed; every same-site path must be ready to request
// (from "/", no fragment, no byte at or below space, none from 0x7F up) and every other
// link an http(s) address.
void FuzzLinkExtraction(const uint8_t* data, size_t size);

// The input is a header block: every field kind is extracted, the status must be empty or
// three digits, a content length only digits, the line-valued fields hold no line end; the
// status is looked up in the status text table.
void FuzzHeaderFields(const uint8_t* data, size_t size);

// The input is a URL record's stored text: a record read from it must be written back and
// read again to the same fields. The same text is then walked with the archive reader's
// string and number reads, which must never read past the text.
void FuzzUrlRecordText(const uint8_t* data, size_t size);

// The input is a settings database as lines "key=value" (line feed between pairs); a key of
// one digit 0-9 names the Nth settings key (0 keysetupmanager_vm ... 9 autosave_path, in
// CSetupManager's order), any other key is taken as it is. The loaded settings must keep their
// fallbacks' ranges and survive a save and reload unchanged. The whole input is also read as
// a stored forbidden-extension archive.
void FuzzSettingsReader(const uint8_t* data, size_t size);

// The input is an address handed to the XML sitemap: its <loc> text must be printable ASCII
// and well-formed character data, and the printed sitemap must parse as XML with the address
// in its one <loc>.
void FuzzSitemapEscape(const uint8_t* data, size_t size);

// The input is a site's sitemap document as its body arrives (gzip or not, in pieces sized by
// its first byte) and also a robots.txt: the text kept stays within the feed's limit, a
// document keeps at most the protocol's number of addresses, none of them empty, and no
// Sitemap: address holds a line end.
void FuzzSitemapReader(const uint8_t* data, size_t size);

// The entries by name (the fuzz target names, which are also the seed corpus folders).
struct FuzzEntry {
  const char* name;
  void (*run)(const uint8_t* data, size_t size);
};
inline constexpr FuzzEntry kFuzzEntries[] = {
    {"link_extraction", FuzzLinkExtraction}, {"header_fields", FuzzHeaderFields},
    {"url_record_text", FuzzUrlRecordText},  {"settings_reader", FuzzSettingsReader},
    {"sitemap_escape", FuzzSitemapEscape},   {"sitemap_reader", FuzzSitemapReader},
};
