#pragma once

// The program's pictures, drawn rather than stored so that they stay sharp and need no files:
// the start-up picture and the three 16 x 16 images of the main window's actions.

#include <QIcon>
#include <QPixmap>
#include <vector>

namespace marqor {

// 572 x 340: the product title, the program's swimmer emblem and the product family's emblem
// on deep water, dark at the bottom where the maker's lines are written in white.
QPixmap StartupPicture();

// The image list of the main window: 0 about, 1 quit, 2 print.
std::vector<QIcon> ActionImages();

} // namespace marqor
