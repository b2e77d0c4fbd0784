#pragma once
#include <string>
#include <vector>

#include "web/SiteOrigin.h"

// The robots.txt lines that name the sitemap files just written, as they will lie at the site's
// root: "Sitemap: https://host/host_sitemap0.xml.gz". With an index beside several files, the
// index alone. savedFiles are the files' names (folders are dropped).
std::vector<std::string> RobotsSitemapLines(const SiteOrigin& site, const std::vector<std::string>& savedFiles,
                                            bool indexWritten);
