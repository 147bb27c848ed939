#include "dialogs/Form4.h"

#include <QEvent>
#include <QFrame>
#include <QLabel>

#include "app/Artwork.h"
#include "app/MainForm.h"
#include "dialogs/DialogFrame.h"
#include "model/Publisher.h"
#include "platform/ClickLabel.h"
#include "platform/Shell.h"

using tallyra::TextId;

TForm4* Form4 = nullptr;

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

TForm4::TForm4(TMainForm& main) : QDialog(&main), m_main(main) {
  Form4 = this;
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
  Image1 = place(new QLabel(panel), "Image1", 8, 3, 89, 65);
  Image1->setPixmap(artwork::WindowIcon().pixmap(64, 64));
  Image1->setAlignment(Qt::AlignCenter);
  Label3 = place(new QLabel(panel), "Label3", 96, 8, 257, 57);
  Label3->setAlignment(Qt::AlignCenter);
  Label3->setWordWrap(true);
  QFont title = font;
  title.setPixelSize(16);
  title.setBold(true);
  Label3->setFont(title);
  Colour(Label3, QColor(0x80, 0x00, 0x80));
  Label1 = place(new QLabel(panel), "Label1", 8, 64, 121, 33);
  Label1->setWordWrap(true);
  Colour(Label1, kNavy);
  Label2 = static_cast<platform::ClickLabel*>(
      place(new platform::ClickLabel(panel), "Label2", 136, 71, 217, 18));
  Label5 = static_cast<platform::ClickLabel*>(
      place(new platform::ClickLabel(panel), "Label5", 136, 103, 217, 18));
  Label5->setText(QString::fromLatin1(tallyra::publisher::kSite));
  for (platform::ClickLabel* link : {Label2, Label5}) {
    link->setAlignment(Qt::AlignCenter);
    QFont underlined = font;
    underlined.setUnderline(true);
    link->setFont(underlined);
    link->setCursor(Qt::PointingHandCursor);
    link->setAttribute(Qt::WA_Hover);
    link->installEventFilter(this);
    Colour(link, kLink);
  }
  Label6 = place(new QLabel(panel), "Label6", 8, 104, 49, 17);
  Colour(Label6, kNavy);
  Label7 = place(new QLabel(QStringLiteral("1.0"), panel), "Label7", 64, 104, 25, 17);
  Colour(Label7, kLink);
  Label4 = place(new QLabel(panel), "Label4", 8, 138, 345, 15);
  Label4->setAlignment(Qt::AlignCenter);

  connect(Label2, &platform::ClickLabel::clicked, this,
          [this] { m_main.RunGuarded([&] { Label2Click(); }); });
  connect(Label5, &platform::ClickLabel::clicked, this,
          [this] { m_main.RunGuarded([&] { Label5Click(); }); });
}

void TForm4::showEvent(QShowEvent* event) {
  QDialog::showEvent(event);
  QRect frame = frameGeometry();
  frame.moveCenter(m_main.frameGeometry().center());
  move(frame.topLeft());
  m_main.RunGuarded([&] { FormShow(); });
}

void TForm4::FormShow() {
  setWindowTitle(m_main.T(TextId::TxtAboutCaption));
  Label1->setText(m_main.T(TextId::TxtAboutIdea));
  Label2->setText(m_main.T(TextId::TxtAboutCompany));
  Label3->setText(m_main.T(TextId::TxtAboutDescription));
  Label4->setText(m_main.T(TextId::TxtAboutRights));
  Label6->setText(m_main.T(TextId::TxtAboutVersion));
  Label5->setToolTip(m_main.T(TextId::TxtAboutVisitSite));
  Label2->setToolTip(m_main.T(TextId::TxtAboutWriteLetter));
}

void TForm4::Label2Click() {
  platform::OpenWithDesktop(QStringLiteral("open"),
                            QStringLiteral("mailto:") +
                                QString::fromLatin1(tallyra::publisher::kMail) +
                                QStringLiteral("?subject=About_program"),
                            1);
}

void TForm4::Label5Click() {
  platform::OpenWithDesktop(QStringLiteral("open"), QString::fromLatin1(tallyra::publisher::kSite),
                            1);
}

// The links turn red under the mouse and blue again when it leaves.
bool TForm4::eventFilter(QObject* watched, QEvent* event) {
  if (watched == Label2 || watched == Label5) {
    if (event->type() == QEvent::Enter) Colour(static_cast<QLabel*>(watched), kHover);
    if (event->type() == QEvent::Leave) Colour(static_cast<QLabel*>(watched), kLink);
  }
  return QDialog::eventFilter(watched, event);
}
