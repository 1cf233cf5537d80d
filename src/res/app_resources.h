// The application's own resources: pictures, bitmap, icon and dialog
// templates, embedded in the executable at build time.
#pragma once

// Registers every resource under the executable's module
// (AfxGetInstanceHandle): "PNG" 155, 160, 162, 175, 176; bitmap 177 (the
// BMP file's bytes); group icon 128 (a PNG's bytes); dialogs 102, 132, 172
// (DialogTemplate records). Calling it again registers the same data.
void RegisterApplicationResources();
