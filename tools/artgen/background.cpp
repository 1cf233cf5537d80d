// The main window's picture (PNG 155, 1334 × 725): a night-blue body with
// a gold rim, a crest rising above its top edge on the left, the game's
// title over a mountain skyline, and on the right the login panel with a
// gold frame around the place of the login page. Around the outline a
// soft, translucent glow; beyond it everything is fully transparent.
#include <cmath>

#include "paint.h"
#include "pictures.h"

namespace art {

namespace {

constexpr int kWidth = 1334, kHeight = 725;

// The body and the crest that together make the outline.
constexpr double kBodyX = 36, kBodyY = 96, kBodyW = 1262, kBodyH = 596, kBodyR = 26;
constexpr double kCrestX = 300, kCrestY = 170, kCrestR = 126;

// The login panel and the login page's place (where the browser sits).
constexpr double kPanelX = 536, kPanelY = 102, kPanelW = 744, kPanelH = 572;
constexpr double kPageX = 560, kPageY = 177, kPageW = 631, kPageH = 446;

void OutlinePath(cairo_t* cr) {
  RoundedRect(cr, kBodyX, kBodyY, kBodyW, kBodyH, kBodyR);
  cairo_new_sub_path(cr);
  cairo_arc(cr, kCrestX, kCrestY, kCrestR, 0, 2 * M_PI);
}

void PaintSky(cairo_t* cr) {
  cairo_pattern_t* sky = cairo_pattern_create_linear(0, kBodyY, 0, kBodyY + kBodyH);
  AddStop(sky, 0.0, Hex(0x11285C));
  AddStop(sky, 0.45, Hex(0x0A1A40));
  AddStop(sky, 1.0, Hex(0x040A1C));
  cairo_set_source(cr, sky);
  cairo_paint(cr);
  cairo_pattern_destroy(sky);

  // Light behind the crest and the title.
  cairo_pattern_t* light = cairo_pattern_create_radial(kCrestX, 260, 10, kCrestX, 260, 330);
  AddStop(light, 0, Hex(0x3C6FD0, 0.55));
  AddStop(light, 0.5, Hex(0x1E3F8A, 0.22));
  AddStop(light, 1, Hex(0x0A1A40, 0));
  cairo_set_source(cr, light);
  cairo_paint(cr);
  cairo_pattern_destroy(light);

  Random random(155);
  for (int i = 0; i < 260; ++i) {
    double x = random.Between(kBodyX, kPanelX + 40);
    double y = random.Between(kBodyY - 60, 560);
    double size = random.Next() < 0.9 ? random.Between(0.5, 1.2) : random.Between(1.4, 2.1);
    double brightness = random.Between(0.25, 0.95) * (1.0 - (y - kBodyY) / 700);
    cairo_arc(cr, x, y, size, 0, 2 * M_PI);
    SetColour(cr, Hex(0xDDE8FF, brightness));
    cairo_fill(cr);
  }
}

// Three ranges of mountains, farther ones lighter, with a castle on a peak
// and mist between the ranges.
void PaintMountains(cairo_t* cr) {
  struct Range {
    double base, height, roughness;
    uint32_t top, bottom;
    uint32_t seed;
  };
  const Range ranges[] = {
      {520, 90, 46, 0x1F3C78, 0x0E2252, 7},
      {575, 80, 40, 0x14295A, 0x0A1A40, 11},
      {630, 70, 30, 0x0B1A3C, 0x050D22, 13},
  };
  int index = 0;
  for (const Range& range : ranges) {
    Random random(range.seed);
    cairo_move_to(cr, kBodyX, kBodyY + kBodyH);
    double x = kBodyX;
    cairo_line_to(cr, x, range.base - random.Between(0, range.height * 0.5));
    // Alternate peaks and saddles, with a small shoulder on each slope.
    while (x < kBodyX + kBodyW) {
      double span = random.Between(60, 150);
      double peak = range.base - random.Between(range.height * 0.45, range.height);
      double saddle = range.base - random.Between(0, range.height * 0.3);
      double shoulder = random.Between(0.3, 0.7);
      cairo_line_to(cr, x + span * 0.25, peak + (range.base - peak) * shoulder * 0.5 + random.Between(-4, 4));
      cairo_line_to(cr, x + span * 0.5, peak);
      cairo_line_to(cr, x + span * 0.72, peak + (saddle - peak) * 0.5 + random.Between(-range.roughness * 0.1, 0));
      cairo_line_to(cr, x + span, saddle);
      x += span;
    }
    cairo_line_to(cr, kBodyX + kBodyW, kBodyY + kBodyH);
    cairo_close_path(cr);
    cairo_pattern_t* fill = VerticalGradient(range.base - range.height, kBodyY + kBodyH, Hex(range.top), Hex(range.bottom));
    cairo_set_source(cr, fill);
    cairo_fill(cr);
    cairo_pattern_destroy(fill);

    if (index == 0) {
      // A castle on the far range: towers with pointed roofs.
      const double baseY = 520;
      const double towers[][3] = {{408, 9, 38}, {424, 7, 28}, {440, 12, 52}, {457, 7, 26}, {470, 9, 36}};
      SetColour(cr, Hex(0x22427F));
      cairo_rectangle(cr, 402, baseY - 16, 74, 60);
      cairo_fill(cr);
      for (const auto& t : towers) {
        cairo_rectangle(cr, t[0] - t[1] / 2, baseY - t[2], t[1], t[2] + 40);
        cairo_move_to(cr, t[0] - t[1] / 2 - 3, baseY - t[2]);
        cairo_line_to(cr, t[0], baseY - t[2] - t[1] * 1.6);
        cairo_line_to(cr, t[0] + t[1] / 2 + 3, baseY - t[2]);
        cairo_close_path(cr);
        cairo_fill(cr);
      }
      Random windows(31);
      for (const auto& t : towers) {
        SetColour(cr, Hex(0xFFD37A, windows.Between(0.6, 0.95)));
        cairo_rectangle(cr, t[0] - 1.5, baseY - t[2] + 10, 3, 5);
        cairo_fill(cr);
      }
    }
    // Mist in front of each range.
    cairo_pattern_t* mist = cairo_pattern_create_linear(0, range.base - 30, 0, range.base + 40);
    AddStop(mist, 0, Hex(0x6A8FD8, 0));
    AddStop(mist, 0.5, Hex(0x6A8FD8, 0.12));
    AddStop(mist, 1, Hex(0x6A8FD8, 0));
    cairo_rectangle(cr, kBodyX, range.base - 30, kBodyW, 70);
    cairo_set_source(cr, mist);
    cairo_fill(cr);
    cairo_pattern_destroy(mist);
    ++index;
  }
}

void GoldRing(cairo_t* cr, double cx, double cy, double r, double width, double brightness = 1.0) {
  cairo_pattern_t* gold = GoldGradient(cy - r, cy + r, brightness);
  cairo_arc(cr, cx, cy, r, 0, 2 * M_PI);
  cairo_set_source(cr, gold);
  cairo_set_line_width(cr, width);
  cairo_stroke(cr);
  cairo_pattern_destroy(gold);
}

void Star(cairo_t* cr, double cx, double cy, double outer, double inner, int points, double turn) {
  for (int i = 0; i < 2 * points; ++i) {
    double r = (i % 2 == 0) ? outer : inner;
    double angle = turn + i * M_PI / points - M_PI / 2;
    if (i == 0)
      cairo_move_to(cr, cx + r * std::cos(angle), cy + r * std::sin(angle));
    else
      cairo_line_to(cr, cx + r * std::cos(angle), cy + r * std::sin(angle));
  }
  cairo_close_path(cr);
}

void PaintCrest(cairo_t* cr) {
  const double cx = kCrestX, cy = kCrestY;
  cairo_pattern_t* disc = cairo_pattern_create_radial(cx, cy - 30, 10, cx, cy, kCrestR);
  AddStop(disc, 0, Hex(0x2E5CB8));
  AddStop(disc, 0.6, Hex(0x12306E));
  AddStop(disc, 1, Hex(0x07163A));
  cairo_arc(cr, cx, cy, kCrestR - 2, 0, 2 * M_PI);
  cairo_set_source(cr, disc);
  cairo_fill(cr);
  cairo_pattern_destroy(disc);

  GoldRing(cr, cx, cy, kCrestR - 7, 10);
  GoldRing(cr, cx, cy, kCrestR - 18, 2, 0.8);
  GoldRing(cr, cx, cy, 62, 3, 0.9);
  // Rune marks between the rings.
  for (int i = 0; i < 24; ++i) {
    double a = i * 2 * M_PI / 24;
    double r0 = kCrestR - 28, r1 = kCrestR - 22;
    cairo_move_to(cr, cx + r0 * std::cos(a), cy + r0 * std::sin(a));
    cairo_line_to(cr, cx + r1 * std::cos(a), cy + r1 * std::sin(a));
  }
  SetColour(cr, Hex(0xE9C367, 0.7));
  cairo_set_line_width(cr, 2);
  cairo_stroke(cr);

  // An eight-pointed star with a gem at its heart.
  Star(cr, cx, cy, 92, 30, 4, 0);
  cairo_pattern_t* gold = GoldGradient(cy - 92, cy + 92, 1.05);
  cairo_set_source(cr, gold);
  cairo_fill_preserve(cr);
  SetColour(cr, Hex(0x5A3A0A, 0.8));
  cairo_set_line_width(cr, 1.5);
  cairo_stroke(cr);
  Star(cr, cx, cy, 58, 20, 4, M_PI / 4);
  cairo_set_source(cr, gold);
  cairo_fill_preserve(cr);
  SetColour(cr, Hex(0x5A3A0A, 0.8));
  cairo_stroke(cr);
  cairo_pattern_destroy(gold);

  cairo_pattern_t* gem = cairo_pattern_create_radial(cx - 6, cy - 8, 2, cx, cy, 22);
  AddStop(gem, 0, Hex(0xE6FBFF));
  AddStop(gem, 0.35, Hex(0x5FD3FF));
  AddStop(gem, 1, Hex(0x0B4F9A));
  cairo_arc(cr, cx, cy, 20, 0, 2 * M_PI);
  cairo_set_source(cr, gem);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(gem);
  cairo_set_source_rgba(cr, 1, 0.9, 0.6, 0.9);
  cairo_set_line_width(cr, 2);
  cairo_stroke(cr);
}

void PaintTitle(cairo_t* cr) {
  cairo_pattern_t* gold = GoldGradient(318, 382, 1.1);
  TextStyle title;
  title.font = "DejaVu Serif Bold 64px";
  title.fill = gold;
  title.outline = Hex(0x1A0E02, 0.9);
  title.outlineWidth = 5;
  title.letterSpacing = 6;
  CentredText(cr, "QUORIN", kCrestX, 312, title);
  cairo_pattern_destroy(gold);

  // Ornamental rule with a diamond under the title.
  cairo_pattern_t* rule = cairo_pattern_create_linear(kCrestX - 170, 0, kCrestX + 170, 0);
  AddStop(rule, 0, Hex(0xE9C367, 0));
  AddStop(rule, 0.5, Hex(0xF6DA8A, 1));
  AddStop(rule, 1, Hex(0xE9C367, 0));
  cairo_rectangle(cr, kCrestX - 170, 399, 340, 1.5);
  cairo_set_source(cr, rule);
  cairo_fill(cr);
  cairo_pattern_destroy(rule);
  Star(cr, kCrestX, 400, 7, 2.5, 4, 0);
  SetColour(cr, Hex(0xF6DA8A));
  cairo_fill(cr);

  TextStyle tagline;
  tagline.font = "WenQuanYi Zen Hei 20px";
  tagline.colour = Hex(0xF2DDA4);
  tagline.outline = Hex(0x050B1C, 0.8);
  tagline.outlineWidth = 3;
  tagline.letterSpacing = 6;
  CentredText(cr, "勇者集结 · 开启征程", kCrestX, 412, tagline);
}

void PaintPanel(cairo_t* cr) {
  // Shadow, then the panel's face and its double gold rim.
  RoundedRect(cr, kPanelX + 4, kPanelY + 6, kPanelW, kPanelH, 18);
  SetColour(cr, Hex(0x000000, 0.45));
  cairo_fill(cr);

  RoundedRect(cr, kPanelX, kPanelY, kPanelW, kPanelH, 18);
  cairo_pattern_t* face = VerticalGradient(kPanelY, kPanelY + kPanelH, Hex(0x17336E), Hex(0x0A1838));
  cairo_set_source(cr, face);
  cairo_fill_preserve(cr);
  cairo_pattern_destroy(face);
  cairo_pattern_t* gold = GoldGradient(kPanelY, kPanelY + kPanelH);
  cairo_set_source(cr, gold);
  cairo_set_line_width(cr, 3);
  cairo_stroke(cr);
  RoundedRect(cr, kPanelX + 7, kPanelY + 7, kPanelW - 14, kPanelH - 14, 13);
  SetColour(cr, Hex(0xC99A3E, 0.45));
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);

  // Header: a title with a fading rule below it.
  TextStyle heading;
  heading.font = "WenQuanYi Zen Hei 26px";
  heading.fill = GoldGradient(128, 160, 1.1);
  heading.outline = Hex(0x050B1C, 0.8);
  heading.outlineWidth = 3;
  heading.letterSpacing = 4;
  CentredText(cr, "账号登录", 640, 126, heading);
  cairo_pattern_destroy(heading.fill);
  TextStyle sub;
  sub.font = "DejaVu Sans 12px";
  sub.colour = Hex(0xBFA66A, 0.9);
  sub.letterSpacing = 3;
  CentredText(cr, "ACCOUNT LOGIN", 775, 140, sub);

  cairo_pattern_t* rule = cairo_pattern_create_linear(kPageX, 0, kPageX + 560, 0);
  AddStop(rule, 0, Hex(0xE9C367, 0.9));
  AddStop(rule, 1, Hex(0xE9C367, 0));
  cairo_rectangle(cr, kPageX, 163, 560, 1);
  cairo_set_source(cr, rule);
  cairo_fill(cr);
  cairo_pattern_destroy(rule);

  // The frame around the login page: a dark well with a gold bevel.
  const double m = 4;
  cairo_rectangle(cr, kPageX - m, kPageY - m, kPageW + 2 * m, kPageH + 2 * m);
  cairo_set_source(cr, gold);
  cairo_fill(cr);
  cairo_pattern_destroy(gold);
  cairo_rectangle(cr, kPageX - 1, kPageY - 1, kPageW + 2, kPageH + 2);
  SetColour(cr, Hex(0x2A1A04));
  cairo_fill(cr);
  cairo_pattern_t* well = VerticalGradient(kPageY, kPageY + kPageH, Hex(0x0C1C44), Hex(0x060E26));
  cairo_rectangle(cr, kPageX, kPageY, kPageW, kPageH);
  cairo_set_source(cr, well);
  cairo_fill(cr);
  cairo_pattern_destroy(well);
  // Corner ornaments on the frame; the top-right corner is left to the
  // minimise button, which sits there.
  const double corners[][2] = {{kPageX - m, kPageY - m},
                               {kPageX - m, kPageY + kPageH + m},
                               {kPageX + kPageW + m, kPageY + kPageH + m}};
  for (const auto& c : corners) {
    Star(cr, c[0], c[1], 9, 3, 4, 0);
    cairo_pattern_t* g = GoldGradient(c[1] - 9, c[1] + 9, 1.1);
    cairo_set_source(cr, g);
    cairo_fill(cr);
    cairo_pattern_destroy(g);
  }

  // What shows until the page has loaded.
  TextStyle waiting;
  waiting.font = "WenQuanYi Zen Hei 18px";
  waiting.colour = Hex(0x8FA6D8, 0.85);
  waiting.letterSpacing = 2;
  CentredText(cr, "正在连接登录服务器…", kPageX + kPageW / 2, kPageY + kPageH / 2 - 12, waiting);

  // The health advice every game's login shows, under the page.
  TextStyle advice;
  advice.font = "WenQuanYi Zen Hei 12px";
  advice.colour = Hex(0x9DB0DA, 0.8);
  CentredText(cr, "抵制不良游戏，拒绝盗版游戏。注意自我保护，谨防受骗上当。", kPageX + kPageW / 2, 637, advice);
  CentredText(cr, "适度游戏益脑，沉迷游戏伤身。合理安排时间，享受健康生活。", kPageX + kPageW / 2, 654, advice);
}

void PaintRim(cairo_t* cr) {
  cairo_pattern_t* gold = GoldGradient(kBodyY, kBodyY + kBodyH);
  RoundedRect(cr, kBodyX + 1.5, kBodyY + 1.5, kBodyW - 3, kBodyH - 3, kBodyR - 1.5);
  cairo_set_source(cr, gold);
  cairo_set_line_width(cr, 3);
  cairo_stroke(cr);
  RoundedRect(cr, kBodyX + 7, kBodyY + 7, kBodyW - 14, kBodyH - 14, kBodyR - 6);
  SetColour(cr, Hex(0xC99A3E, 0.35));
  cairo_set_line_width(cr, 1);
  cairo_stroke(cr);
  cairo_pattern_destroy(gold);

  TextStyle version;
  version.font = "DejaVu Sans 11px";
  version.colour = Hex(0x7F92BE, 0.8);
  CentredText(cr, "Quorin Online  ·  v1.0", kCrestX, 662, version);
}

}  // namespace

cairo_surface_t* PaintBackground() {
  cairo_surface_t* surface = cairo_image_surface_create(CAIRO_FORMAT_ARGB32, kWidth, kHeight);
  cairo_t* cr = cairo_create(surface);

  // Everything of the body is drawn clipped to the outline.
  cairo_save(cr);
  OutlinePath(cr);
  cairo_set_fill_rule(cr, CAIRO_FILL_RULE_WINDING);
  cairo_clip(cr);
  PaintSky(cr);
  PaintMountains(cr);
  cairo_restore(cr);

  // The crest's rim continues the body's rim where the two meet.
  cairo_save(cr);
  RoundedRect(cr, kBodyX, kBodyY, kBodyW, kBodyH, kBodyR);
  cairo_clip(cr);
  PaintRim(cr);
  cairo_restore(cr);
  PaintCrest(cr);
  PaintTitle(cr);
  PaintPanel(cr);

  // The soft edge: a translucent blue-gold glow around the outline.
  cairo_surface_t* shape = cairo_image_surface_create(CAIRO_FORMAT_A8, kWidth, kHeight);
  cairo_t* sc = cairo_create(shape);
  OutlinePath(sc);
  cairo_set_fill_rule(sc, CAIRO_FILL_RULE_WINDING);
  cairo_fill(sc);
  cairo_destroy(sc);
  PaintGlowUnder(surface, shape, 26, Hex(0x5B8CFF, 0.9));
  PaintGlowUnder(surface, shape, 6, Hex(0xE9C367, 0.55));
  cairo_surface_destroy(shape);
  ClearFaintPixels(surface, 3);

  cairo_destroy(cr);
  return surface;
}

}  // namespace art
