#include "platform/Handler.h"

#include <QString>

#include "platform/MessageBox.h"

namespace platform {

void ReportEscapedError(QWidget* owner, const std::exception* error) {
  ShowError(owner, QStringLiteral("Tallyra"), error ? QString::fromUtf8(error->what()) : QString());
}

}  // namespace platform
