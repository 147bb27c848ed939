#include "platform/Handler.h"

#include <QString>
#include <new>

#include "platform/MessageBox.h"
#include "platform/QtTexts.h"

namespace platform {

void ReportEscapedError(QWidget* owner, const std::exception* error) {
  // Running out of memory is told in words, in both languages, since the handler that knew
  // the interface language is gone.
  if (dynamic_cast<const std::bad_alloc*>(error)) {
    ShowError(owner, QStringLiteral("Tallyra"),
              Tr(tallyra::TextId::TxtOutOfMemory, 0) + QStringLiteral("\n") +
                  Tr(tallyra::TextId::TxtOutOfMemory, 1));
    return;
  }
  ShowError(owner, QStringLiteral("Tallyra"), error ? QString::fromUtf8(error->what()) : QString());
}

}  // namespace platform
