#include "standin/unite/outline_area.h"

#include <cmath>

#include "standin/art/art_object.h"
#include "standin/unite/outline_union.h"

namespace standin {

namespace {

bool FlattenForArea(const ArtObject& art, std::vector<Contour>* contours) {
  return FlattenArt(art, kUniteFlattening, contours) == FlattenResult::kOk;
}

}  // namespace

double SignedOutlineArea(const ArtObject& art) {
  std::vector<Contour> contours;
  if (!FlattenForArea(art, &contours)) return std::nan("");
  double area = 0;
  for (const Contour& contour : contours) area += ContourArea(contour);
  return area;
}

double FilledOutlineArea(const ArtObject& art) {
  FilledShape shape;
  if (!FlattenForArea(art, &shape.contours)) return std::nan("");
  shape.evenOdd = art.style->evenOddFill != 0;
  return FilledArea(shape);
}

}  // namespace standin
