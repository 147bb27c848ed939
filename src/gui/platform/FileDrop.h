#pragma once

#include <QString>
#include <functional>

class QAbstractScrollArea;

namespace platform {

// Lets the user drop a file from the desktop's file manager on a grid or view: the drop of one
// local file calls `dropped` with its path; anything else (several files, text, a web address)
// is not accepted, so the pointer shows it cannot be dropped there.
void AcceptFileDrops(QAbstractScrollArea* view, std::function<void(const QString& path)> dropped);

}  // namespace platform
