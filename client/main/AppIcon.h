#pragma once
// Tarnwick's icon, drawn at run time so that it needs no image plugin.
#include <QIcon>

namespace tarnwick {

QIcon AppIcon();

} // namespace tarnwick
