#pragma once

#include <QIcon>
#include <QPixmap>
#include <vector>

namespace artwork {

// The banner of a language (a Language's value), decoded from the JPEG shipped inside the
// program.
QPixmap Banner(int language);

// The three tab images: 0 for the shown tab, 1 unused, 2 for the others.
std::vector<QIcon> TabImages();

QIcon WindowIcon();

}  // namespace artwork
