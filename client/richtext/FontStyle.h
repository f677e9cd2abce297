#pragma once
// Naming a font's style the way its family names it. The font dialog finds the style to show by
// name; a family whose regular style is not called "Normal" or "Regular" (DejaVu's is "Book")
// would otherwise show its first style, often a condensed italic one, and a user who only
// changed the size would get that style.
#include <QFont>

namespace tarnwick {

// The font with the style name of its family that has its weight and slant (the plainest one
// when several do); unchanged when the family is not installed or has no such style.
QFont WithStyleName(const QFont& font);

} // namespace tarnwick
