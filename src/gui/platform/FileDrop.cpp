#include "platform/FileDrop.h"

#include <QAbstractScrollArea>
#include <QDragEnterEvent>
#include <QDragMoveEvent>
#include <QDropEvent>
#include <QMimeData>
#include <QUrl>
#include <optional>

namespace platform {
namespace {

// The one local file a drag carries, if that is what it carries.
std::optional<QString> DroppedFile(const QMimeData* data) {
  if (data == nullptr || !data->hasUrls()) return std::nullopt;
  const QList<QUrl> urls = data->urls();
  if (urls.size() != 1 || !urls.front().isLocalFile()) return std::nullopt;
  return urls.front().toLocalFile();
}

class DropFilter final : public QObject {
 public:
  DropFilter(QObject* parent, std::function<void(const QString&)> dropped)
      : QObject(parent), m_dropped(std::move(dropped)) {}

 protected:
  bool eventFilter(QObject* watched, QEvent* event) override {
    switch (event->type()) {
      case QEvent::DragEnter:
      case QEvent::DragMove: {
        auto* drag = static_cast<QDragMoveEvent*>(event);
        if (DroppedFile(drag->mimeData())) {
          drag->acceptProposedAction();
        } else {
          drag->ignore();
        }
        return true;
      }
      case QEvent::Drop: {
        auto* drop = static_cast<QDropEvent*>(event);
        const std::optional<QString> path = DroppedFile(drop->mimeData());
        if (!path) {
          drop->ignore();
          return true;
        }
        drop->acceptProposedAction();
        m_dropped(*path);
        return true;
      }
      default:
        return QObject::eventFilter(watched, event);
    }
  }

 private:
  std::function<void(const QString&)> m_dropped;
};

}  // namespace

void AcceptFileDrops(QAbstractScrollArea* view, std::function<void(const QString& path)> dropped) {
  QWidget* area = view->viewport();
  area->setAcceptDrops(true);
  area->installEventFilter(new DropFilter(view, std::move(dropped)));
}

}  // namespace platform
