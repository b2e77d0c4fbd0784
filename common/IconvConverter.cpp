#include "common/IconvConverter.h"

#include <cerrno>
#include <new>

IconvConverter::IconvConverter(const std::string& to, const std::string& from, Mode mode)
    : cd_(reinterpret_cast<iconv_t>(-1)), mode_(mode) {
  if (mode == Mode::kDiscarding) cd_ = iconv_open((to + "//IGNORE").c_str(), from.c_str());
  // Some names do not take a suffix; the skipping loop below still drops what fails.
  if (!ok()) cd_ = iconv_open(to.c_str(), from.c_str());
}

IconvConverter::~IconvConverter() {
  if (ok()) iconv_close(cd_);
}

// glibc has no switch for discarding: with //IGNORE it skips what the target cannot hold,
// but still stops with EILSEQ (sometimes part-way, at an internal chunk edge), and without it
// every invalid byte stops the call. So call again until the input is used up, stepping over
// one byte when a call made no progress.
bool IconvConverter::ConvertDiscarding(const char*& in, size_t& inLeft, char*& out,
                                       size_t& outLeft) {
  while (inLeft > 0) {
    char* src = const_cast<char*>(in);
    const size_t before = inLeft;
    const size_t r = iconv(cd_, &src, &inLeft, &out, &outLeft);
    in = src;
    if (r != static_cast<size_t>(-1)) break;
    if (errno == E2BIG) return false;
    if (errno == EINVAL) {
      // An incomplete sequence at the end: nothing more can come, drop it.
      in += inLeft;
      inLeft = 0;
      break;
    }
    if (errno == EILSEQ && inLeft == before) {
      ++in;
      --inLeft;
    } else if (errno != EILSEQ) {
      break;
    }
  }
  // Flush any shift state of the target set.
  if (iconv(cd_, nullptr, nullptr, &out, &outLeft) == static_cast<size_t>(-1) && errno == E2BIG)
    return false;
  return true;
}

bool IconvConverter::ConvertStrict(const char*& in, size_t& inLeft, char*& out, size_t& outLeft, bool& full) {
  full = false;
  char* src = const_cast<char*>(in);
  const size_t r = inLeft > 0 ? iconv(cd_, &src, &inLeft, &out, &outLeft) : 0;
  in = src;
  if (r == static_cast<size_t>(-1)) {
    full = errno == E2BIG;
    return full;
  }
  if (iconv(cd_, nullptr, nullptr, &out, &outLeft) == static_cast<size_t>(-1)) {
    full = errno == E2BIG;
    return full;
  }
  return true;
}

bool IconvConverter::ConvertAll(const char* in, size_t length, std::string& out) {
  out.clear();
  if (!ok()) return false;
  try {
    // Most texts grow by less than half on their way to UTF-8; the loop grows the rest.
    out.resize(length + length / 2 + 16);
    size_t used = 0;
    for (;;) {
      char* o = out.data() + used;
      size_t room = out.size() - used;
      bool full = false;
      bool done = false;
      if (mode_ == Mode::kDiscarding) {
        done = ConvertDiscarding(in, length, o, room);
      } else if (!ConvertStrict(in, length, o, room, full)) {
        out.clear();
        return false;
      } else {
        done = !full;
      }
      used = out.size() - room;
      if (done) break;
      out.resize(out.size() + out.size() / 2 + 64);
    }
    out.resize(used);
    return true;
  } catch (const std::bad_alloc&) {
    out.clear();
    return false;
  }
}
