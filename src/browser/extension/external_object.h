// window.external for page script: an object whose property reads go to
// the shell, synchronously, each time.
#pragma once

#include <jsc/jsc.h>

// Defines window.external in the frame's default script world.
void DefineExternal(JSCContext* context);
