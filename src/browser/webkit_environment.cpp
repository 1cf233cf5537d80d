#include "browser/webkit_environment.h"

#include <glob.h>

#include <cstdlib>

namespace {

bool HasRenderNode() {
  glob_t found;
  bool any = ::glob("/dev/dri/renderD*", 0, nullptr, &found) == 0 && found.gl_pathc > 0;
  ::globfree(&found);
  return any;
}

void SetIfUnset(const char* name, const char* value) {
  if (!std::getenv(name)) ::setenv(name, value, 0);
}

}  // namespace

void PrepareWebKitEnvironment() {
  static bool done = false;
  if (done) return;
  done = true;
  // ---- WebKitGTK rendering work-arounds -----------------------------------
  // The DMA-BUF renderer shows blank pages on X servers without a usable GPU
  // (Xvfb) and on some NVIDIA drivers; with no render node at all,
  // accelerated compositing has nothing to run on either. Both variables
  // are left alone when the user set them. These lines can go once the
  // WebKitGTK we ship falls back to software rendering by itself on such
  // machines.
  SetIfUnset("WEBKIT_DISABLE_DMABUF_RENDERER", "1");
  if (!HasRenderNode()) SetIfUnset("WEBKIT_DISABLE_COMPOSITING_MODE", "1");
  // --------------------------------------------------------------------------
}
