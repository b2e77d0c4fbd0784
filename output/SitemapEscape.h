#pragma once
#include <string>
#include <string_view>

// Text of a sitemap element, as the XML printer writes it: "&" becomes "&amp;" unless it
// starts a well-formed hexadecimal character reference ("&#x" hex digits ";" naming a
// character XML allows), which is copied unchanged; < > " ' become entities; bytes below
// 0x20 become "&#xHH;"; every other byte is copied.
void AppendXmlEscaped(std::string& out, std::string_view text);

// An address made safe for <loc>: PercentEncode with PercentEncodeSet::kAddress (every byte
// below 0x21 and from 0x7F up becomes "%HH", and so does a "%" that begins no escape).
void AppendPercentEncoded(std::string& out, std::string_view address);

// Both steps: the text a <loc> element holds for the address.
std::string LocText(std::string_view address);
