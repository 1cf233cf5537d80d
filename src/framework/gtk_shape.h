// Regions of a window's picture for the X input and bounding shapes.
#pragma once

typedef struct _cairo_surface cairo_surface_t;
typedef struct _cairo_region cairo_region_t;

// The pixels of an ARGB32 image surface whose alpha is above 0, as a cairo
// region in the surface's coordinates. Rows are scanned into runs and equal
// runs of consecutive rows are merged into one rectangle, so a large
// picture with a smooth outline gives few rectangles. An RGB24 surface is
// visible everywhere; a null, non-image or other surface gives an empty
// region. The caller destroys the region.
cairo_region_t* RegionOfVisiblePixels(cairo_surface_t* surface);
