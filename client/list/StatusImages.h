#pragma once
// The small pictures of the list's first column: one 16x16 image per bug status, drawn here so
// the program carries no image files. Transparent where nothing is drawn.
#include <QImage>
#include <QString>

namespace tarnwick {

inline constexpr int kStatusImageCount = 10;
inline constexpr int kStatusImageSize = 16;

// The image index of a status text, compared exactly: "Active" 0, "By Design" 1,
// "Cannot Reproduce" 2, "Fixed" 3, "In Process" 4, "New" 5, "Postponed" 6, "Verified" 7,
// "Will Not Fix" 8, "Waiting" 9; any other text 0.
int StatusImageIndex(const QString& status);

// The image of an index (0 for an index outside the strip). Drawn once, then shared.
const QImage& StatusImage(int index);

// All ten images side by side, 160x16, in index order.
QImage StatusImageStrip();

} // namespace tarnwick
