#include "output/SitemapLocks.h"

boost::shared_mutex sitemapDocumentLock;
std::mutex sitemapSaveLock;
