#pragma once
#include <atomic>
#include <functional>
#include <memory>
#include <string>

#include "crawl/CrawlStartParams.h"
#include "crawl/FetchedPage.h"
#include "crawl/RenderStop.h"
#include "web/PageLinks.h"
#include "web/SiteOrigin.h"

class PageFetch;
class PageRenderer;
struct PageScratch;

// The links a crawl's pages write with their scripts: the renderer the rules ask for, made
// before the first page (it starts the browser on its first page) and gone with the crawl's
// last, and why rendering stopped or never began. Rendering is thread safe.
class RenderedLinks {
 public:
  // fetch paces the renderer's requests with the crawl's; origin bounds what a page may
  // request; stopped cuts a render short.
  RenderedLinks(const CrawlStartParams& params, PageFetch& fetch, std::function<SiteOrigin()> origin,
                std::function<bool()> stopped);
  ~RenderedLinks();
  RenderedLinks(const RenderedLinks&) = delete;
  RenderedLinks& operator=(const RenderedLinks&) = delete;

  // Makes the renderer when the rules render pages, or notes why it cannot.
  void Prepare();
  // The browser goes, its profile with it.
  void End();
  bool active() const { return static_cast<bool>(renderer_); }

  // The links the page's scripts write, read from its rendered document, joined to links;
  // false when the stop cut the render short (the page's links are then not all known).
  bool AddRenderedLinks(const std::string& address, const FetchedPage& page, PageLinks& links,
                        const LinkOptions& options, PageScratch* scratch);
  // Why pages are not rendered although the rules ask for it; any thread.
  RenderStop Notice() const { return notice_.load(); }

 private:
  // Keeps the first reason only; any worker may call it.
  void GiveUpRendering(RenderStop why);

  const CrawlStartParams& params_;
  PageFetch& fetch_;
  std::function<SiteOrigin()> origin_;
  std::function<bool()> stopped_;
  std::unique_ptr<PageRenderer> renderer_;  // when the rules render pages, until the crawl ends
  // Why the rules' rendering stopped or never began; the first reason stays.
  std::atomic<RenderStop> notice_{RenderStop::None};
};
