#include "dialogs/HelpWindow.h"

#include <QFile>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QRegularExpression>
#include <QSplitter>
#include <QTextBrowser>
#include <QToolButton>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "model/Workspace.h"
#include "platform/QtTexts.h"
#include "platform/Shell.h"

// The pages are compiled into the gui library; a static library registers its resources by
// hand.
static void RegisterHelpResources() {
  Q_INIT_RESOURCE(help);
}

namespace {

const QString kRoot = QStringLiteral("qrc:/help/");

// The folder of a language's pages (and of its entries in the contents).
QString LanguageFolder(int32_t language) {
  return language == tallyra::ToValue(tallyra::Language::Russian) ? QStringLiteral("ru")
                                                                  : QStringLiteral("en");
}

// The entries of the contents file of a language: its title and page, in order. The file lists
// each page as a pair of parameters, Name then Local.
std::vector<std::pair<QString, QString>> ContentsEntries(const QString& languageFolder) {
  QFile file(QStringLiteral(":/help/toc.hhc"));
  if (!file.open(QIODevice::ReadOnly)) return {};
  const QString text = QString::fromUtf8(file.readAll());
  static const QRegularExpression entry(
      QStringLiteral("<param name=\"Name\" value=\"([^\"]*)\">\\s*"
                     "<param name=\"Local\" value=\"([^\"]*)\">"));
  std::vector<std::pair<QString, QString>> entries;
  for (auto it = entry.globalMatch(text); it.hasNext();) {
    const auto match = it.next();
    if (match.captured(2).startsWith(languageFolder + QLatin1Char('/'))) {
      entries.emplace_back(match.captured(1), match.captured(2));
    }
  }
  return entries;
}

}  // namespace

HelpWindow::HelpWindow(QWidget* owner) : QDialog(owner) {
  static const bool registered = (RegisterHelpResources(), true);
  (void)registered;
  setObjectName(QStringLiteral("HelpWindow"));
  setWindowFlags(Qt::Window | Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint);
  setSizeGripEnabled(true);
  resize(900, 620);

  m_back = new QToolButton(this);
  m_back->setObjectName(QStringLiteral("HelpBack"));
  m_back->setArrowType(Qt::LeftArrow);
  m_back->setShortcut(QKeySequence::Back);
  m_forward = new QToolButton(this);
  m_forward->setObjectName(QStringLiteral("HelpForward"));
  m_forward->setArrowType(Qt::RightArrow);
  m_forward->setShortcut(QKeySequence::Forward);
  m_findLabel = new QLabel(this);
  m_find = new QLineEdit(this);
  m_find->setObjectName(QStringLiteral("HelpFind"));
  m_find->setClearButtonEnabled(true);
  m_findLabel->setBuddy(m_find);

  m_contents = new QTreeWidget(this);
  m_contents->setObjectName(QStringLiteral("HelpContents"));
  m_contents->header()->hide();
  // The page shown stays marked while the focus is in the page: the inactive highlight of many
  // styles is too pale to see.
  QPalette palette = m_contents->palette();
  for (const QPalette::ColorRole role : {QPalette::Highlight, QPalette::HighlightedText}) {
    palette.setColor(QPalette::Inactive, role, palette.color(QPalette::Active, role));
  }
  m_contents->setPalette(palette);
  m_browser = new QTextBrowser(this);
  m_browser->setObjectName(QStringLiteral("HelpBrowser"));
  // Links are followed here: pages of the help in the window, anything else by the desktop.
  m_browser->setOpenLinks(false);

  auto* bar = new QHBoxLayout;
  bar->addWidget(m_back);
  bar->addWidget(m_forward);
  bar->addSpacing(12);
  bar->addWidget(m_findLabel);
  bar->addWidget(m_find, 1);
  auto* split = new QSplitter(this);
  split->addWidget(m_contents);
  split->addWidget(m_browser);
  split->setStretchFactor(1, 3);
  split->setSizes({240, 660});
  auto* layout = new QVBoxLayout(this);
  layout->addLayout(bar);
  layout->addWidget(split, 1);

  connect(m_back, &QToolButton::clicked, m_browser, &QTextBrowser::backward);
  connect(m_forward, &QToolButton::clicked, m_browser, &QTextBrowser::forward);
  connect(m_browser, &QTextBrowser::backwardAvailable, m_back, &QToolButton::setEnabled);
  connect(m_browser, &QTextBrowser::forwardAvailable, m_forward, &QToolButton::setEnabled);
  connect(m_browser, &QTextBrowser::anchorClicked, this,
          [this](const QUrl& link) { followLink(link); });
  // The page comes with the signal: the browser's source() still names the page before it.
  connect(m_browser, &QTextBrowser::sourceChanged, this,
          [this](const QUrl& shown) { pageShown(shown); });
  connect(m_find, &QLineEdit::returnPressed, this, [this] { findInPage(m_find->text()); });
  connect(m_contents, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem* item) {
    m_browser->setSource(QUrl(kRoot + item->data(0, Qt::UserRole).toString()));
  });
  connect(m_contents, &QTreeWidget::itemClicked, this, [this](QTreeWidgetItem* item) {
    m_browser->setSource(QUrl(kRoot + item->data(0, Qt::UserRole).toString()));
  });
  m_back->setEnabled(false);
  m_forward->setEnabled(false);
}

void HelpWindow::showPage(int32_t language, const QString& page) {
  const QString folder = LanguageFolder(language);
  if (language != m_language) {
    m_language = language;
    fillContents(language);
    setWindowTitle(platform::Tr(tallyra::TextId::TxtHelpCaption, language));
    m_back->setToolTip(platform::Tr(tallyra::TextId::TxtHelpBack, language));
    m_forward->setToolTip(platform::Tr(tallyra::TextId::TxtHelpForward, language));
    // A screen reader has only the arrow otherwise: the buttons say where they lead.
    m_back->setAccessibleName(platform::Tr(tallyra::TextId::TxtHelpBackName, language));
    m_forward->setAccessibleName(platform::Tr(tallyra::TextId::TxtHelpForwardName, language));
    m_findLabel->setText(platform::Tr(tallyra::TextId::TxtHelpFind, language));
    m_contents->setToolTip(platform::Tr(tallyra::TextId::TxtHelpContents, language));
  }
  QString name = page.isEmpty() ? QStringLiteral("index.html") : page;
  if (!QFile::exists(QStringLiteral(":/help/") + folder + QLatin1Char('/') + name)) {
    name = QStringLiteral("index.html");
  }
  m_browser->setSource(QUrl(kRoot + folder + QLatin1Char('/') + name));
  show();
  raise();
  activateWindow();
}

bool HelpWindow::findInPage(const QString& text) {
  if (text.isEmpty()) return false;
  if (m_browser->find(text)) return true;
  // From the top again.
  QTextCursor cursor = m_browser->textCursor();
  cursor.movePosition(QTextCursor::Start);
  m_browser->setTextCursor(cursor);
  return m_browser->find(text);
}

QString HelpWindow::currentPage() const {
  const QString url = m_browser->source().toString();
  return url.startsWith(kRoot) ? url.mid(kRoot.size()) : url;
}

void HelpWindow::fillContents(int32_t language) {
  m_contents->clear();
  const auto entries = ContentsEntries(LanguageFolder(language));
  if (entries.empty()) return;
  // The first entry is the language's heading; the pages follow under it.
  auto* top = new QTreeWidgetItem(m_contents, {entries.front().first});
  top->setData(0, Qt::UserRole, entries.front().second);
  for (std::size_t i = 1; i < entries.size(); ++i) {
    auto* item = new QTreeWidgetItem(top, {entries[i].first});
    item->setData(0, Qt::UserRole, entries[i].second);
  }
  m_contents->expandAll();
}

void HelpWindow::followLink(const QUrl& link) {
  const QUrl target = m_browser->source().resolved(link);
  if (target.scheme() == QStringLiteral("qrc")) {
    m_browser->setSource(target);
  } else {
    platform::OpenWithDesktop(QStringLiteral("open"), target.toString(), 1);
  }
}

void HelpWindow::pageShown(const QUrl& shown) {
  // The contents follow the page: its entry is the current one, selected and in bold, whether
  // the page came from the contents, a link (with or without an anchor), Back or Forward.
  const QString url = shown.adjusted(QUrl::RemoveFragment).toString();
  const QString page = url.startsWith(kRoot) ? url.mid(kRoot.size()) : url;
  QTreeWidgetItem* entry = nullptr;
  for (QTreeWidgetItemIterator it(m_contents); *it; ++it) {
    QTreeWidgetItem* item = *it;
    const bool isPage = !entry && item->parent() && item->data(0, Qt::UserRole).toString() == page;
    if (isPage) entry = item;
    QFont font = item->font(0);
    font.setBold(isPage);
    item->setFont(0, font);
  }
  if (entry) {
    m_contents->setCurrentItem(entry);
    m_contents->scrollToItem(entry);
  } else {
    m_contents->clearSelection();
  }
}
