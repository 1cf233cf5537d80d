// The pictures the generator paints. Each answers a new ARGB32 surface.
#pragma once

#include <cairo.h>

namespace art {

cairo_surface_t* PaintBackground();      // PNG 155, 1334 × 725
cairo_surface_t* PaintMinimiseStrip();   // PNG 162, 39 × 156
cairo_surface_t* PaintCloseStrip();      // PNG 160, 54 × 216
cairo_surface_t* PaintConfirmStrip();    // PNG 175, 74 × 104, "确定"
cairo_surface_t* PaintCancelStrip();     // PNG 176, 74 × 104, "取消"
cairo_surface_t* PaintConfirmBackdrop(); // bitmap 177, 256 × 110, opaque
cairo_surface_t* PaintIcon();            // icon 128, 64 × 64

}  // namespace art
