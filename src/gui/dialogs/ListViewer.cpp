#include "dialogs/ListViewer.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <condition_variable>
#include <exception>
#include <mutex>
#include <thread>

#include "dialogs/ListTextView.h"
#include "model/Files.h"
#include "model/Problem.h"
#include "platform/FileDialog.h"
#include "platform/LongTask.h"
#include "platform/MessageBox.h"
#include "platform/QtTexts.h"

using tallyra::TextId;

namespace {

// A list's text taken piece by piece by a writer that asks for the next piece, while the
// pieces are made ahead on other threads.
class ListPieces {
 public:
  explicit ListPieces(const tallyra::CoincidenceList& list)
      : m_maker([this, list = &list] {
          try {
            list->forEachChunk(int64_t{4} << 20, [this](const std::string& piece) {
              std::unique_lock<std::mutex> lock(m_mutex);
              m_changed.wait(lock, [this] { return m_stop || !m_full; });
              if (m_stop) return false;
              m_piece = piece;
              m_full = true;
              m_changed.notify_all();
              return true;
            });
          } catch (...) {
            const std::lock_guard<std::mutex> lock(m_mutex);
            m_failure = std::current_exception();
          }
          const std::lock_guard<std::mutex> lock(m_mutex);
          m_finished = true;
          m_changed.notify_all();
        }) {}
  ~ListPieces() {
    {
      const std::lock_guard<std::mutex> lock(m_mutex);
      m_stop = true;
      m_changed.notify_all();
    }
    m_maker.join();
  }
  ListPieces(const ListPieces&) = delete;
  ListPieces& operator=(const ListPieces&) = delete;

  // The next piece, or false at the end.
  bool next(std::string& out) {
    std::unique_lock<std::mutex> lock(m_mutex);
    m_changed.wait(lock, [this] { return m_full || m_finished; });
    if (!m_full) {
      if (m_failure) std::rethrow_exception(m_failure);
      return false;
    }
    out.swap(m_piece);
    m_full = false;
    m_changed.notify_all();
    return true;
  }

 private:
  std::mutex m_mutex;
  std::condition_variable m_changed;
  std::string m_piece;
  bool m_full = false;
  bool m_finished = false;
  bool m_stop = false;
  std::exception_ptr m_failure;
  std::thread m_maker;  // last: started once the rest is ready
};

}  // namespace

ListViewer::ListViewer(QWidget* owner, LanguageSource language, const tallyra::DataFiles& files)
    : QDialog(owner), m_language(std::move(language)), m_files(files) {
  setObjectName(QStringLiteral("ShowForm"));
  // The text fills the window; a bar below it holds the list's own commands.
  constexpr int kBar = 34;
  SetDialogFrame(this, 479, 386 + kBar, false);
  const QFont font = LayoutFont(13);
  m_text = new ListTextView(this);
  m_text->setObjectName(QStringLiteral("Memo"));
  m_text->setGeometry(0, 0, 479, 386);
  m_text->setFont(font);
  m_copyButton = new QPushButton(this);
  m_copyButton->setObjectName(QStringLiteral("BitCopy"));
  m_copyButton->setGeometry(479 - 8 - 150 - 8 - 110, 386 + 4, 110, kBar - 8);
  m_saveButton = new QPushButton(this);
  m_saveButton->setObjectName(QStringLiteral("BitSave"));
  m_saveButton->setGeometry(479 - 8 - 150, 386 + 4, 150, kBar - 8);
  for (QPushButton* b : {m_copyButton, m_saveButton}) b->setAutoDefault(false);
  connect(m_saveButton, &QPushButton::clicked, this, [this] { Guarded([&] { saveList(); }); });
  connect(m_copyButton, &QPushButton::clicked, this, [this] { Guarded([&] { copySelection(); }); });
  connect(m_text, &ListTextView::copyRequested, this,
          [this] { Guarded([&] { copySelection(); }); });
}

QString ListViewer::T(TextId id) const {
  return platform::Tr(id, m_language());
}

void ListViewer::showList(tallyra::ListPtr list, const QString& caption,
                          const platform::FileDialogOptions& saveOptions) {
  m_saveOptions = saveOptions;
  setWindowTitle(caption);
  m_saveButton->setText(T(TextId::TxtSaveList));
  m_copyButton->setText(T(TextId::TxtCopyList));
  m_text->setList(std::move(list));
  m_text->setFocus();
  // Centred on the desktop.
  const QWidget* owner = parentWidget() ? parentWidget() : this;
  if (const QScreen* screen = owner->screen()) {
    QRect frame = frameGeometry();
    frame.moveCenter(screen->availableGeometry().center());
    move(frame.topLeft());
  }
  platform::ExecModal(*this);
  m_text->setList(nullptr);
}

void ListViewer::copySelection() {
  bool tooLarge = false;
  const QString text = m_text->selectedText(&tooLarge);
  if (tooLarge) {
    platform::ShowMessage(
        this, T(TextId::TxtAppTitle),
        QString::fromUtf8(
            tallyra::Format(TextId::TxtListTooBig, m_language(),
                            {std::to_string(m_text->selectionEnd() - m_text->selectionStart())})));
    return;
  }
  if (!text.isEmpty()) QGuiApplication::clipboard()->setText(text);
}

void ListViewer::saveList() {
  const tallyra::ListPtr list = m_text->list();
  if (!list) return;
  platform::FileDialogOptions save = m_saveOptions;
  save.title = windowTitle();
  save.fileName = QStringLiteral("List.txt");
  const std::optional<QString> path = platform::GetSaveFileName(this, m_files, save);
  if (!path) return;
  std::optional<int> error;
  tallyra::WorkControl control;
  control.SetTotal(list->length());
  const int32_t language = m_language();
  platform::TaskWindow look;
  look.title = look.text = T(TextId::TxtSavingList);
  look.describe = [language](const platform::TaskFigures& figures) {
    const int percent =
        figures.total > 0 ? static_cast<int>(figures.done * 100 / figures.total) : 0;
    return QString::fromUtf8(
        tallyra::Format(TextId::TxtSavedBytes, language,
                        {std::to_string(figures.done), std::to_string(figures.total),
                         std::to_string(percent) + "%"}));
  };
  const bool finished = platform::RunLongTask(this, look, control, [&](tallyra::WorkControl& work) {
    ListPieces pieces(*list);
    error = tallyra::WriteFileReplacing(
        platform::ToLocalPath(*path),
        [&](std::string& piece) {
          if (!pieces.next(piece)) return false;
          work.AddDone(static_cast<int64_t>(piece.size()));
          return true;
        },
        [&] { return work.Cancelled(); });
  });
  if (finished && error && *error != tallyra::kWriteCancelled) {
    platform::ShowProblem(this, {TextId::TxtCannotWrite, {path->toStdString()}, 0, *error},
                          language);
  }
}
