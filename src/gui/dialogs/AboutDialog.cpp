#include "dialogs/AboutDialog.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>

#include "app/Artwork.h"
#include "model/Publisher.h"
#include "platform/ClickLabel.h"
#include "platform/QtTexts.h"
#include "platform/Shell.h"

using tallyra::TextId;

namespace {

void Colour(QLabel* label, const QColor& colour) {
  QPalette palette = label->palette();
  palette.setColor(QPalette::WindowText, colour);
  label->setPalette(palette);
}

const QColor kLink(0, 0, 255);
const QColor kHover(255, 0, 0);
const QColor kNavy(0, 0, 0x80);

}  // namespace

AboutDialog::AboutDialog(QWidget* owner, LanguageSource language)
    : QDialog(owner), m_language(std::move(language)) {
  setObjectName(QStringLiteral("Form4"));
  SetDialogFrame(this, 361, 161, false);
  const QFont font = LayoutFont(13, "Times New Roman", "Liberation Serif");
  setFont(font);

  auto* panel = new QFrame(this);
  panel->setObjectName(QStringLiteral("Panel1"));
  panel->setFrameStyle(QFrame::Panel | QFrame::Sunken);
  panel->setGeometry(0, 0, 361, 161);

  auto place = [&](QLabel* label, const char* name, int x, int y, int w, int h) {
    label->setObjectName(QString::fromLatin1(name));
    label->setGeometry(x, y, w, h);
    return label;
  };
  m_icon = place(new QLabel(panel), "Image1", 8, 3, 89, 65);
  m_icon->setPixmap(artwork::WindowIcon().pixmap(64, 64));
  m_icon->setAlignment(Qt::AlignCenter);
  m_description = place(new QLabel(panel), "Label3", 96, 8, 257, 57);
  m_description->setAlignment(Qt::AlignCenter);
  m_description->setWordWrap(true);
  QFont title = font;
  title.setPixelSize(16);
  title.setBold(true);
  m_description->setFont(title);
  Colour(m_description, QColor(0x80, 0x00, 0x80));
  m_idea = place(new QLabel(panel), "Label1", 8, 64, 121, 33);
  m_idea->setWordWrap(true);
  Colour(m_idea, kNavy);
  m_mailLink = static_cast<platform::ClickLabel*>(
      place(new platform::ClickLabel(panel), "Label2", 136, 71, 217, 18));
  m_siteLink = static_cast<platform::ClickLabel*>(
      place(new platform::ClickLabel(panel), "Label5", 136, 103, 217, 18));
  m_siteLink->setText(QString::fromLatin1(tallyra::publisher::kSite));
  for (platform::ClickLabel* link : {m_mailLink, m_siteLink}) {
    link->setAlignment(Qt::AlignCenter);
    QFont underlined = font;
    underlined.setUnderline(true);
    link->setFont(underlined);
    link->setCursor(Qt::PointingHandCursor);
    link->setAttribute(Qt::WA_Hover);
    link->installEventFilter(this);
    Colour(link, kLink);
  }
  m_versionLabel = place(new QLabel(panel), "Label6", 8, 104, 49, 17);
  Colour(m_versionLabel, kNavy);
  m_version = place(new QLabel(QStringLiteral("1.0"), panel), "Label7", 64, 104, 25, 17);
  Colour(m_version, kLink);
  m_rights = place(new QLabel(panel), "Label4", 8, 138, 345, 15);
  m_rights->setAlignment(Qt::AlignCenter);

  connect(m_mailLink, &platform::ClickLabel::clicked, this,
          [this] { Guarded([&] { writeLetter(); }); });
  connect(m_siteLink, &platform::ClickLabel::clicked, this,
          [this] { Guarded([&] { visitSite(); }); });
}

void AboutDialog::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  CentreOn(this, parentWidget());
  Guarded([&] {
    setWindowTitle(T(TextId::TxtAboutCaption));
    m_idea->setText(T(TextId::TxtAboutIdea));
    m_mailLink->setText(T(TextId::TxtAboutCompany));
    m_description->setText(T(TextId::TxtAboutDescription));
    m_rights->setText(T(TextId::TxtAboutRights));
    m_versionLabel->setText(T(TextId::TxtAboutVersion));
    m_siteLink->setToolTip(T(TextId::TxtAboutVisitSite));
    m_mailLink->setToolTip(T(TextId::TxtAboutWriteLetter));
  });
}

QString AboutDialog::T(TextId id) const {
  return platform::Tr(id, m_language());
}

void AboutDialog::writeLetter() {
  platform::OpenWithDesktop(QStringLiteral("open"),
                            QStringLiteral("mailto:") +
                                QString::fromLatin1(tallyra::publisher::kMail) +
                                QStringLiteral("?subject=About_program"),
                            1);
}

void AboutDialog::visitSite() {
  platform::OpenWithDesktop(QStringLiteral("open"), QString::fromLatin1(tallyra::publisher::kSite),
                            1);
}

// The links turn red under the mouse and blue again when it leaves.
bool AboutDialog::eventFilter(QObject* watched, QEvent* event) {
  if (watched == m_mailLink || watched == m_siteLink) {
    if (event->type() == QEvent::Enter) Colour(static_cast<QLabel*>(watched), kHover);
    if (event->type() == QEvent::Leave) Colour(static_cast<QLabel*>(watched), kLink);
  }
  return QDialog::eventFilter(watched, event);
}
