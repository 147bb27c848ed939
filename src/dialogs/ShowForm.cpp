#include "dialogs/ShowForm.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>

#include "app/MainForm.h"
#include "dialogs/DialogFrame.h"
#include "dialogs/ListView.h"
#include "model/Files.h"
#include "platform/FileDialog.h"
#include "platform/LongTask.h"
#include "platform/MessageBox.h"
#include "platform/QtTexts.h"

using tallyra::TextId;

TShowForm* ShowForm = nullptr;

TShowForm::TShowForm(TMainForm& main) : QDialog(&main), m_main(main) {
  ShowForm = this;
  setObjectName(QStringLiteral("ShowForm"));
  // The text fills the window; a bar below it holds the list's own commands.
  constexpr int kBar = 34;
  SetDialogFrame(this, 479, 386 + kBar, false);
  const QFont font = LayoutFont(13);
  Memo = new ListView(this);
  Memo->setObjectName(QStringLiteral("Memo"));
  Memo->setGeometry(0, 0, 479, 386);
  Memo->setFont(font);
  BitCopy = new QPushButton(this);
  BitCopy->setObjectName(QStringLiteral("BitCopy"));
  BitCopy->setGeometry(479 - 8 - 150 - 8 - 110, 386 + 4, 110, kBar - 8);
  BitSave = new QPushButton(this);
  BitSave->setObjectName(QStringLiteral("BitSave"));
  BitSave->setGeometry(479 - 8 - 150, 386 + 4, 150, kBar - 8);
  for (QPushButton* b : {BitCopy, BitSave}) b->setAutoDefault(false);
  connect(BitSave, &QPushButton::clicked, this,
          [this] { m_main.RunGuarded([&] { SaveListClick(); }); });
  connect(BitCopy, &QPushButton::clicked, this,
          [this] { m_main.RunGuarded([&] { CopyClick(); }); });
  connect(Memo, &ListView::copyRequested, this,
          [this] { m_main.RunGuarded([&] { CopyClick(); }); });
}

void TShowForm::Open(tallyra::ListPtr list, const QString& caption) {
  setWindowTitle(caption);
  BitSave->setText(m_main.T(TextId::TxtSaveList));
  BitCopy->setText(m_main.T(TextId::TxtCopyList));
  Memo->setList(std::move(list));
  Memo->setFocus();
  // Centred on the desktop.
  if (const QScreen* screen = m_main.screen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
  platform::ExecModal(*this);
  Memo->setList(nullptr);
}

void TShowForm::CopyClick() {
  bool tooLarge = false;
  const QString text = Memo->selectedText(&tooLarge);
  if (tooLarge) {
    platform::ShowMessage(this, m_main.T(TextId::TxtAppTitle),
                          QString::fromUtf8(tallyra::Format(
                              TextId::TxtListTooBig, m_main.workspace().Language,
                              {std::to_string(Memo->selectionEnd() - Memo->selectionStart())})));
    return;
  }
  if (!text.isEmpty()) QGuiApplication::clipboard()->setText(text);
}

void TShowForm::SaveListClick() {
  const tallyra::ListPtr list = Memo->list();
  if (!list) return;
  platform::FileDialogOptions save = m_main.SaveD;
  save.title = windowTitle();
  save.fileName = QStringLiteral("List.txt");
  const std::optional<QString> path = platform::GetSaveFileName(this, save);
  if (!path) return;
  std::optional<int> error;
  const bool finished = platform::RunLongTask(this, m_main.T(TextId::TxtSavingList),
                                              [&](const std::atomic<bool>& cancel) {
                                                constexpr int64_t kPiece = int64_t{4} << 20;
                                                int64_t at = 0;
                                                error = tallyra::WriteFileReplacing(
                                                    platform::ToLocalPath(*path),
                                                    [&](std::string& piece) {
                                                      if (at >= list->length()) return false;
                                                      piece = list->slice(at, kPiece);
                                                      at += kPiece;
                                                      return true;
                                                    },
                                                    [&] { return cancel.load(); });
                                              });
  if (finished && error && *error != tallyra::kWriteCancelled) {
    const int32_t language = m_main.workspace().Language;
    platform::ShowError(this, m_main.T(TextId::TxtAppTitle),
                        QString::fromUtf8(tallyra::Format(
                            TextId::TxtCannotWrite, language,
                            {path->toStdString(), tallyra::DescribeFileError(*error, language)})));
  }
}
