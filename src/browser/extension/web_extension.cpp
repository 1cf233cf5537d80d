// Entry point of the web-process extension: WebKit loads this module into
// each web process of the shell's browser and hands it the channel's
// socket path and token.
#include <webkit2/webkit-web-extension.h>

#include <cstdio>

#include "extension/frame_watch.h"
#include "extension/shell_link.h"

extern "C" G_MODULE_EXPORT void webkit_web_extension_initialize_with_user_data(WebKitWebExtension* extension,
                                                                              const GVariant* userData) {
  GVariant* data = const_cast<GVariant*>(userData);
  if (!data || !g_variant_is_of_type(data, G_VARIANT_TYPE("(ss)"))) {
    std::fprintf(stderr, "quorin web extension: started without a channel\n");
    return;
  }
  const char* socketPath = nullptr;
  const char* token = nullptr;
  g_variant_get(data, "(&s&s)", &socketPath, &token);
  if (!shell_link::Connect(socketPath, token)) {
    std::fprintf(stderr, "quorin web extension: the shell is not reachable\n");
    return;
  }
  WatchFrames(extension);
}
