#pragma once

#include <QByteArray>
#include <QImage>

namespace platform {

// Decodes a JPEG image held in memory with libjpeg. A damaged or unsupported image gives a
// null QImage; libjpeg's warnings and errors never reach the terminal.
QImage DecodeJpeg(const QByteArray& data);

}  // namespace platform
