#include "render/RenderScripts.h"

namespace {

const char kSettleWatch[] = R"JS((() => {
  const w = window;
  if (w.__veltroSettle) return;
  const limit = LIMIT_MS;
  const s = { pending: 0, last: performance.now() };
  Object.defineProperty(w, '__veltroSettle', { value: s, enumerable: false });
  const touch = d => { s.pending += d; s.last = performance.now(); };
  const timers = new Set();
  const frames = new Set();
  const st = w.setTimeout, si = w.setInterval, ct = w.clearTimeout, ci = w.clearInterval;
  const short = delay => (Number(delay) || 0) < limit;
  const call = (fn, args) => { if (typeof fn === 'function') return fn.apply(w, args); return (0, eval)(String(fn)); };
  w.setTimeout = function (fn, delay, ...args) {
    if (!short(delay)) return st.call(w, fn, delay, ...args);
    let id = 0;
    id = st.call(w, () => { if (timers.delete(id)) touch(-1); return call(fn, args); }, delay);
    timers.add(id); touch(1);
    return id;
  };
  w.setInterval = function (fn, delay, ...args) {
    if (!short(delay)) return si.call(w, fn, delay, ...args);
    const id = si.call(w, () => { touch(0); return call(fn, args); }, delay);
    timers.add(id); touch(1);
    return id;
  };
  const clear = original => function (id) { if (timers.delete(id)) touch(-1); return original.call(w, id); };
  w.clearTimeout = clear(ct);
  w.clearInterval = clear(ci);
  const raf = w.requestAnimationFrame, caf = w.cancelAnimationFrame;
  if (raf) {
    w.requestAnimationFrame = function (fn) {
      let id = 0;
      id = raf.call(w, t => { if (frames.delete(id)) touch(-1); return fn(t); });
      frames.add(id); touch(1);
      return id;
    };
    w.cancelAnimationFrame = function (id) { if (frames.delete(id)) touch(-1); return caf.call(w, id); };
  }
  const f = w.fetch;
  if (f) {
    w.fetch = function (...args) {
      touch(1);
      let p;
      try { p = f.apply(this, args); } catch (e) { touch(-1); throw e; }
      p.then(() => touch(-1), () => touch(-1));
      return p;
    };
  }
  // A response's body is read after its fetch has resolved: the read counts too.
  const R = w.Response;
  if (R) {
    for (const m of ['json', 'text', 'arrayBuffer', 'blob', 'formData']) {
      const read = R.prototype[m];
      if (typeof read !== 'function') continue;
      R.prototype[m] = function (...args) {
        touch(1);
        let q;
        try { q = read.apply(this, args); } catch (e) { touch(-1); throw e; }
        q.then(() => touch(-1), () => touch(-1));
        return q;
      };
    }
  }
  const X = w.XMLHttpRequest;
  if (X) {
    const send = X.prototype.send;
    X.prototype.send = function (...args) {
      touch(1);
      let open = true;
      const done = () => { if (open) { open = false; touch(-1); } };
      this.addEventListener('loadend', done);
      try { return send.apply(this, args); } catch (e) { done(); throw e; }
    };
  }
  // Scripts, style sheets and frames added once the page has loaded hold it until they load or
  // fail (those of the parser already hold the load event); a request that never ends is let go
  // at the time-out.
  const hold = e => {
    const tag = e.localName;
    const loads = (tag === 'script' && e.src) || tag === 'iframe' ||
      (tag === 'link' && e.href && /stylesheet|preload|import/i.test(e.rel || ''));
    if (!loads) return;
    touch(1);
    let open = true;
    const done = () => { if (open) { open = false; touch(-1); } };
    e.addEventListener('load', done);
    e.addEventListener('error', done);
    st.call(w, done, limit);
  };
  w.addEventListener('load', () => {
    new MutationObserver(records => {
      for (const r of records) for (const n of r.addedNodes) {
        if (n.nodeType !== 1) continue;
        hold(n);
        if (n.querySelectorAll) for (const c of n.querySelectorAll('script[src], link[href], iframe')) hold(c);
      }
    }).observe(document, { childList: true, subtree: true });
  });
  // Resolves with the document's timeOrigin once it has loaded and nothing has been pending for
  // quiet ms; checked inside the page, so that nobody has to ask again and again.
  s.settled = quiet => new Promise(resolve => {
    const check = () => {
      const idle = performance.now() - s.last;
      if (document.readyState === 'complete' && s.pending === 0 && idle >= quiet) resolve(performance.timeOrigin);
      else st.call(w, check, Math.max(5, quiet - idle));
    };
    check();
  });
  // A popup would load outside the tab, where no request is checked; a dialog would hold the
  // page until someone answers it.
  w.open = () => null;
  w.alert = () => {};
  w.confirm = () => false;
  w.prompt = () => null;
  try {
    if (navigator.serviceWorker) {
      Object.defineProperty(navigator.serviceWorker, 'register',
        { value: () => Promise.reject(new DOMException('Service workers are off', 'SecurityError')) });
    }
  } catch (e) {}
})();)JS";

}  // namespace

std::string SettleWatchScript(int32_t timeoutMs) {
  std::string script = kSettleWatch;
  const std::string mark = "LIMIT_MS";
  script.replace(script.find(mark), mark.size(), std::to_string(timeoutMs > 0 ? timeoutMs : 0));
  return script;
}

namespace {

const char kReadMarkup[] = R"JS(() => {
  const text = v => (v === null || v === undefined) ? '' : String(v);
  const resolve = v => { try { return new URL(v, document.baseURI).href; } catch (e) { return v; } };
  const hrefOf = e => {
    const h = e.href;
    if (typeof h === 'string') return h;
    const raw = (h && h.baseVal) || e.getAttribute('href') || e.getAttributeNS('http://www.w3.org/1999/xlink', 'href');
    return raw ? resolve(raw) : null;
  };
  const anchors = [];
  for (const e of document.querySelectorAll('a, area')) {
    if (!e.hasAttribute('href') && !e.hasAttributeNS('http://www.w3.org/1999/xlink', 'href')) continue;
    const h = hrefOf(e);
    if (h !== null) anchors.push([h, text(e.getAttribute('rel'))]);
  }
  const metas = [];
  for (const e of document.querySelectorAll('meta[name]')) metas.push([text(e.getAttribute('name')), text(e.getAttribute('content'))]);
  const links = [];
  for (const e of document.querySelectorAll('link[href]'))
    links.push([text(e.getAttribute('rel')), text(e.getAttribute('hreflang')), text(e.href)]);
  // An img's src as the document resolved it, else its srcset, and a source's srcset, read as
  // a served page's are; capped so that a page of endless images cannot swamp the reply.
  const images = [];
  for (const e of document.querySelectorAll('img, source')) {
    if (images.length >= 5000) break;
    const src = e.localName === 'img' ? e.getAttribute('src') : null;
    if (src) images.push([text(e.src), '']);
    else if (e.getAttribute('srcset')) images.push([text(e.getAttribute('srcset')), '1']);
  }
  return { base: text(document.baseURI), anchors, metas, links, images, origin: performance.timeOrigin };
})JS";

}  // namespace

std::string MarkupReader() { return "(" + std::string(kReadMarkup) + ")()"; }

std::string SettledMarkupReader(int32_t quietMs) {
  return "(async () => { const s = window.__veltroSettle; if (s) await s.settled(" + std::to_string(quietMs) +
         "); return (" + kReadMarkup + ")(); })()";
}

namespace {

std::string At(const nlohmann::json& row, size_t i) {
  if (!row.is_array() || row.size() <= i || !row[i].is_string()) return {};
  return row[i].get<std::string>();
}

const nlohmann::json& ArrayOf(const nlohmann::json& value, const char* key) {
  static const nlohmann::json kEmpty = nlohmann::json::array();
  auto it = value.find(key);
  return it != value.end() && it->is_array() ? *it : kEmpty;
}

}  // namespace

bool MarkupFromReader(const nlohmann::json& value, PageMarkup& markup) {
  if (!value.is_object()) return false;
  markup = PageMarkup();
  auto base = value.find("base");
  if (base != value.end() && base->is_string()) {
    markup.hasBase = true;
    markup.baseHref = base->get<std::string>();
  }
  const nlohmann::json& anchors = ArrayOf(value, "anchors");
  markup.anchors.reserve(anchors.size());
  for (const auto& row : anchors) markup.anchors.push_back({At(row, 0), At(row, 1)});
  for (const auto& row : ArrayOf(value, "metas")) markup.namedMetas.emplace_back(At(row, 0), At(row, 1));
  for (const auto& row : ArrayOf(value, "links")) markup.headLinks.push_back({At(row, 0), At(row, 1), At(row, 2)});
  for (const auto& row : ArrayOf(value, "images")) markup.images.push_back({At(row, 0), At(row, 1) == "1"});
  return true;
}
