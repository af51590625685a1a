#pragma once
// The look shared by all skins: panels, painted buttons, sunk areas, titles, and the last step
// that turns a drawing into skin bytes with an exact background colour outside the silhouette.
#include <string>
#include <vector>

#include "tools/art/canvas.h"
#include "tools/art/shapes.h"
#include "tools/art/text.h"

namespace Art {

// The colour outside every skin's silhouette; no skin uses it inside.
constexpr uint32_t kBackground = 0xFF00FF;

// A click zone as the window lays it out: left, top, width, height in pixels.
struct Zone {
    int left, top, width, height;
};

// The face of a painted button inside `zone`, inset so that all of it lies under the zone.
Shape ButtonShape(const Zone& zone, float radius, int inset = 2);

// A raised, glossy button of colour `base` with one or two lines of label.
void PaintButton(Canvas& c, const Shape& face, Rgb base, const std::vector<std::string>& lines,
                 const TextStyle& style, Rgb ink);

// The window panel: vertical gradient, bevelled border and a dark rim.
void PaintPanel(Canvas& c, const Shape& body, Rgb top, Rgb bottom, Rgb rim);

// A sunk area (behind lists and drawing surfaces).
void PaintWell(Canvas& c, const Shape& well, Rgb fill, float depth);

// Faint parallel lines across the shape: a brushed-metal texture.
void PaintSheen(Canvas& c, const Shape& area, float opacity);

// Title text: light letters with a dark outline and a soft shadow.
void PaintTitle(Canvas& c, const TextStyle& style, const std::string& text, float x, float y,
                Rgb top, Rgb bottom, Rgb outline);

// Skin bytes (RGB, top row first): the background colour outside the silhouette, and inside no
// pixel equal to it.
std::vector<uint8_t> SkinBytes(const Canvas& c, const Mask& silhouette);

}  // namespace Art
