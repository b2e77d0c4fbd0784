#pragma once
#include <boost/thread/shared_mutex.hpp>

#include <mutex>

// Guards the documents of the sitemap writer: shared while a document is measured, printed
// or saved, exclusive while a document is created, extended or closed.
extern boost::shared_mutex sitemapDocumentLock;

// Held for the whole of one save, so two saves (the Save button and auto-save, or two
// auto-saves) never write the same files at the same time.
extern std::mutex sitemapSaveLock;
