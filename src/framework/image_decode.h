// Decoding of picture bytes into cairo image surfaces (ARGB32,
// premultiplied alpha). Both answer null for bytes they cannot decode.
#pragma once

#include <cstddef>

typedef struct _cairo_surface cairo_surface_t;

cairo_surface_t* DecodePngToSurface(const void* data, size_t size);
// A BMP file's bytes (24 or 32 bits per pixel, uncompressed); opaque result.
cairo_surface_t* DecodeBmpToSurface(const void* data, size_t size);
