#pragma once
#include "crawl/CrawlStartParams.h"

class QWidget;

// The folder below the working folder that holds the journal of a start address.
std::string WindowJournalPath(const std::string& startUrl);

// The start record of a crawl from the window with its journal: when the address has an
// unfinished crawl, asks whether to go on with it (its own settings then) or start afresh
// (the journal removed); a journal that cannot be used is named in a message and replaced.
CrawlStartParams ChooseJournal(QWidget* parent, const CrawlStartParams& typed);
