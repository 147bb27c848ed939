#include "app/Artwork.h"

#include <QFile>
#include <QPainter>
#include <QPainterPath>

#include "model/Workspace.h"
#include "platform/Jpeg.h"

// The pictures are compiled into the gui library; a static library needs its resources
// registered by hand.
static void RegisterResources() {
  Q_INIT_RESOURCE(assets);
}

namespace artwork {
namespace {

QPixmap Ball(const QColor& fill, const QColor& rim, int size) {
  QPixmap pixmap(size, size);
  pixmap.fill(Qt::transparent);
  QPainter p(&pixmap);
  p.setRenderHint(QPainter::Antialiasing);
  QRadialGradient shade(size * 0.35, size * 0.35, size * 0.7);
  shade.setColorAt(0, fill.lighter(170));
  shade.setColorAt(1, fill);
  p.setBrush(shade);
  p.setPen(QPen(rim, 1));
  p.drawEllipse(QRectF(1, 1, size - 2, size - 2));
  return pixmap;
}

}  // namespace

QPixmap Banner(int language) {
  static const bool registered = (RegisterResources(), true);
  (void)registered;
  QFile file(language == tallyra::ToValue(tallyra::Language::Russian)
                 ? QStringLiteral(":/banner_ru.jpg")
                 : QStringLiteral(":/banner_en.jpg"));
  if (!file.open(QIODevice::ReadOnly)) return {};
  return QPixmap::fromImage(platform::DecodeJpeg(file.readAll()));
}

std::vector<QIcon> TabImages() {
  return {QIcon(Ball(QColor(0x2E, 0x9D, 0x3A), QColor(0x1B, 0x5E, 0x20), 14)),
          QIcon(Ball(QColor(0xE0, 0xA0, 0x20), QColor(0x80, 0x60, 0x10), 14)),
          QIcon(Ball(QColor(0xB0, 0xB0, 0xB0), QColor(0x70, 0x70, 0x70), 14))};
}

QIcon WindowIcon() {
  QIcon icon;
  for (int size : {16, 32, 48, 64}) {
    QPixmap pixmap = Ball(QColor(0x2E, 0x9D, 0x3A), QColor(0x1B, 0x5E, 0x20), size);
    QPainter p(&pixmap);
    p.setRenderHint(QPainter::Antialiasing);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(size * 5 / 8);
    font.setBold(true);
    p.setFont(font);
    p.setPen(Qt::white);
    p.drawText(pixmap.rect(), Qt::AlignCenter, QStringLiteral("6"));
    icon.addPixmap(pixmap);
  }
  return icon;
}

}  // namespace artwork
