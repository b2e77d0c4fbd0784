#pragma once
#include <tidy/tidy.h>

#include <string>
#include <vector>

// The href of every anchor below the node, in document order, as page bytes (empty for an
// anchor without one). Walks with its own stack: pages nest elements without limit.
void CollectAnchorLinks(TidyNode root, std::vector<std::string>& links);
