// artgen: paints the shell's pictures and writes them into a folder
// (src/res/art by default). The outputs are committed; run it again only
// to change the art:  cmake --build BUILD --target artgen && BUILD/tools/artgen/artgen src/res/art
#include <cairo.h>

#include <cstdio>
#include <string>

#include "paint.h"
#include "pictures.h"

namespace {

bool Save(cairo_surface_t* surface, const std::string& path, bool bmp) {
  bool ok = surface && (bmp ? art::WriteBmp24(surface, path) : art::WritePng(surface, path));
  if (surface) cairo_surface_destroy(surface);
  std::printf("%s %s\n", ok ? "wrote" : "FAILED", path.c_str());
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  std::string dir = argc > 1 ? argv[1] : "src/res/art";
  bool ok = true;
  ok &= Save(art::PaintBackground(), dir + "/background_155.png", false);
  ok &= Save(art::PaintCloseStrip(), dir + "/close_160.png", false);
  ok &= Save(art::PaintMinimiseStrip(), dir + "/minimise_162.png", false);
  ok &= Save(art::PaintConfirmStrip(), dir + "/confirm_175.png", false);
  ok &= Save(art::PaintCancelStrip(), dir + "/cancel_176.png", false);
  ok &= Save(art::PaintConfirmBackdrop(), dir + "/confirm_backdrop_177.bmp", true);
  ok &= Save(art::PaintIcon(), dir + "/icon_128.png", false);
  return ok ? 0 : 1;
}
