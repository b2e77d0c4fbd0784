#include "support/AuditSite.h"

#include <zlib.h>

namespace {

const char* const kNs = "http://www.sitemaps.org/schemas/sitemap/0.9";

std::string Html(const std::string& head, const std::string& body) {
  return "<html><head><title>t</title>" + head + "</head><body>" + body + "</body></html>";
}

std::string Link(const std::string& href) { return "<p><a href=\"" + href + "\">x</a></p>"; }

std::string Url(const std::string& loc, const std::string& more = "") {
  return "<url><loc>" + loc + "</loc>" + more + "</url>\n";
}

std::string Gzip(const std::string& text) {
  z_stream z{};
  deflateInit2(&z, Z_DEFAULT_COMPRESSION, Z_DEFLATED, 16 + MAX_WBITS, 8, Z_DEFAULT_STRATEGY);
  std::string out(deflateBound(&z, text.size()) + 64, '\0');
  z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(text.data()));
  z.avail_in = static_cast<uInt>(text.size());
  z.next_out = reinterpret_cast<Bytef*>(out.data());
  z.avail_out = static_cast<uInt>(out.size());
  deflate(&z, Z_FINISH);
  out.resize(z.total_out);
  deflateEnd(&z);
  return out;
}

}  // namespace

AuditSite::AuditSite() = default;

std::string AuditSite::LongAddress() const { return At("/long?q=" + std::string(2100, 'a')); }

bool AuditSite::Start() {
  if (!site.Start() || !other.Start()) return false;
  site.Set("/robots.txt", Resource{200, "text/plain",
                                   "User-agent: *\nDisallow: /private/\n\nSitemap: " + At("/sitemap_index.xml") +
                                       "\nSitemap: " + Other("/elsewhere.xml") + "\n"});
  site.Set("/sitemap_index.xml",
           Resource{200, "application/xml",
                    std::string("<?xml version=\"1.0\"?>\n<sitemapindex xmlns=\"") + kNs + "\">\n<sitemap><loc>" +
                        At("/sm1.xml.gz") + "</loc></sitemap>\n<sitemap><loc>" + At("/sm2.xml") +
                        "</loc></sitemap>\n<sitemap><loc>" + At("/sitemap_index.xml") + "</loc></sitemap>\n</sitemapindex>\n"});
  const std::string sm1 = std::string("<?xml version=\"1.0\"?>\n<urlset xmlns=\"") + kNs + "\">\n" + Url(At("/")) +
                          Url(At("/a.html"), "<lastmod>2024-13-45</lastmod>") + Url(At("/orphan.html")) +
                          Url(At("/moved.html")) + Url(At("/gone.html")) + "</urlset>\n";
  // Served as a file, not as a Content-Encoding: only its bytes say it is gzip.
  site.Set("/sm1.xml.gz", Resource{200, "application/octet-stream", Gzip(sm1)});
  site.Set("/sm2.xml",
           Resource{200, "text/xml",
                    "<?xml version=\"1.0\"?>\n<urlset xmlns=\"https://www.sitemaps.org/schemas/sitemap/0.9\">\n" +
                        Url(At("/noindex.html"), "<changefreq>sometimes</changefreq>") +
                        Url(At("/canon.html"), "<priority>1.5</priority>") + Url(At("/private/secret.html")) +
                        Url(Other("/x.html")) + Url(LongAddress()) + Url(At("/a.html")) + "</urlset>\n"});
  site.Set("/", Resource{200, "text/html",
                         Html("", Link("a.html") + Link("b.html") + Link("moved.html") + Link("noindex.html") +
                                      Link("canon.html") + Link("private/secret.html"))});
  site.Set("/a.html", Resource{200, "text/html", Html("", "")});
  site.Set("/b.html", Resource{200, "text/html", Html("", "")});
  site.Set("/moved.html", Resource{301, "text/html", "", "/a.html"});
  site.Set("/noindex.html", Resource{200, "text/html", Html("<meta name=\"robots\" content=\"noindex\">", "")});
  site.Set("/canon.html", Resource{200, "text/html", Html("<link rel=\"canonical\" href=\"/a.html\">", "")});
  site.Set("/orphan.html", Resource{200, "text/html", Html("", Link("never.html"))});
  site.Set("/gone.html", Resource{404, "text/html", "gone"});
  site.Set("/private/secret.html", Resource{200, "text/html", Html("", "")});
  site.Set("/never.html", Resource{200, "text/html", Html("", "")});
  return true;
}
