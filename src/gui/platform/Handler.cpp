#include "platform/Handler.h"

#include <QString>
#include <new>

#include "model/Workspace.h"
#include "platform/MessageBox.h"
#include "platform/QtTexts.h"

namespace platform {

void ReportEscapedError(QWidget* owner, const std::exception* error) {
  // Running out of memory is told in words, in both languages, since the handler that knew
  // the interface language is gone.
  if (dynamic_cast<const std::bad_alloc*>(error)) {
    ShowError(
        owner, QStringLiteral("Tallyra"),
        Tr(tallyra::TextId::TxtOutOfMemory, tallyra::ToValue(tallyra::Language::Russian)) +
            QStringLiteral("\n") +
            Tr(tallyra::TextId::TxtOutOfMemory, tallyra::ToValue(tallyra::Language::English)));
    return;
  }
  ShowError(owner, QStringLiteral("Tallyra"), error ? QString::fromUtf8(error->what()) : QString());
}

}  // namespace platform
