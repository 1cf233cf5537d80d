// Reports the life of every frame to the shell: a new document in a frame
// (navigated), its completion (loaded, with the top-level document's
// element list), and clicks on the top-level document's links. The
// watching code runs in a script world of its own, which page script can
// neither see nor alter.
#pragma once

#include <webkit2/webkit-web-extension.h>

// Connects to window-object-cleared of the default world: every frame,
// every document.
void WatchFrames(WebKitWebExtension* extension);
