#include <gtest/gtest.h>

#include <QAbstractItemModelTester>
#include <QBuffer>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <new>
#include <stdexcept>

#include "GuiFixture.h"
#include "model/Problem.h"
#include "platform/DialogScript.h"
#include "platform/Handler.h"
#include "platform/Jpeg.h"
#include "platform/Preferences.h"
#include "platform/StringGrid.h"

namespace {

TEST(Handlers, AnEscapingErrorIsShownAndTheProgramGoesOn) {
  platform::DialogScript script;
  bool after = false;
  platform::RunHandler(nullptr, [] { throw std::runtime_error("boom"); });
  platform::RunHandler(nullptr, [] { throw 42; });
  platform::RunHandler(nullptr, [&] { after = true; });
  EXPECT_TRUE(after);
  ASSERT_EQ(script.messages.size(), 2u);
  EXPECT_EQ(script.messages[0].kind, platform::AskedMessage::Kind::Error);
  EXPECT_EQ(script.messages[0].text, QStringLiteral("boom"));
  EXPECT_EQ(script.messages[1].text, QString()) << "an error without a text shows an empty one";
}

TEST(Handlers, RunningOutOfMemoryIsToldInWords) {
  platform::DialogScript script;
  platform::RunHandler(nullptr, [] { throw std::bad_alloc(); });
  ASSERT_EQ(script.messages.size(), 1u);
  EXPECT_EQ(script.messages[0].kind, platform::AskedMessage::Kind::Error);
  EXPECT_FALSE(script.messages[0].text.contains(QStringLiteral("bad_alloc")));
  EXPECT_TRUE(script.messages[0].text.contains(
      QStringLiteral("There is not enough memory to complete the operation.")));
  EXPECT_TRUE(script.messages[0].text.contains(QStringLiteral("Недостаточно памяти")));
}

// While the window is open, what escapes a handler is told in the window's language; once it is
// gone, in both. A text of unknown origin is shown with its control bytes escaped.
class EscapedErrors : public GuiTest {};

TEST_F(EscapedErrors, AreToldInTheWindowsLanguage) {
  WriteFile(QStringLiteral("ini.tly"), "49\r\n0\r\n");
  Start();
  script.messages.clear();
  const tallyra::Problem problem{tallyra::TextId::TxtWinningsTooManyDraws, {"1500", "1499"}};
  platform::RunHandler(form.get(), [&] { throw tallyra::ProblemError(problem); });
  platform::RunHandler(form.get(), [] { throw std::bad_alloc(); });
  platform::RunHandler(form.get(), [] { throw std::runtime_error("\x1b[2Jgone"); });
  form.reset();
  platform::RunHandler(nullptr, [&] { throw tallyra::ProblemError(problem); });
  ASSERT_EQ(script.messages.size(), 4u);
  EXPECT_EQ(script.messages[0].text, QString::fromStdString(tallyra::Describe(problem, 0)));
  EXPECT_EQ(script.messages[1].text, QStringLiteral("Недостаточно памяти для этой команды."));
  EXPECT_EQ(script.messages[2].text, QStringLiteral("\\x1B[2Jgone"));
  EXPECT_EQ(script.messages[3].text, QString::fromStdString(tallyra::Describe(problem, 0) + "\n" +
                                                            tallyra::Describe(problem, 1)));
}

TEST(Grid, CountCellsMoveWithTheRowCountAndDropOutWithRows) {
  platform::StringGridModel model(11);
  QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::Fatal);
  model.setCountColumns(7, 10);
  model.setCellText([](int row, int col) { return QStringLiteral("%1:%2").arg(row).arg(col); });
  model.setGridRowCount(6);
  model.setFilledRows(5);
  model.setCount(5, 7, 3);
  model.setCount(2, 10, 0);
  EXPECT_EQ(model.cellText(5, 7), QStringLiteral("3"));
  EXPECT_EQ(model.cellText(2, 10), QStringLiteral("0"));
  EXPECT_EQ(model.cellText(4, 8), QString());
  EXPECT_EQ(model.cellText(3, 2), QStringLiteral("3:2"));

  model.setGridRowCount(4);  // rows 4 and 5 drop out with their counts
  model.setGridRowCount(6);
  model.setFilledRows(5);
  EXPECT_EQ(model.cellText(5, 7), QString());
  EXPECT_EQ(model.cellText(2, 10), QStringLiteral("0"));

  model.setFilledRows(0);  // an emptied list shows blank rows
  EXPECT_EQ(model.cellText(1, 1), QString());
  model.clearCounts();
  EXPECT_EQ(model.cellText(2, 10), QString());
  model.setGridRowCount(0);
  EXPECT_EQ(model.gridRowCount(), 2) << "an empty grid keeps its blank row";
  EXPECT_EQ(model.cellText(99, 1), QString());
  EXPECT_EQ(model.count(0, 7), platform::StringGridModel::kEmpty);
}

TEST(Grid, AFullGridIsAViewNotACopy) {
  platform::StringGrid grid(7);
  grid.resize(433, 297);
  grid.model().setCellText([](int row, int col) { return QString::number(row * 10 + col); });
  grid.model().setGridRowCount(100000);
  grid.model().setFilledRows(99999);
  EXPECT_EQ(grid.model().rowCount(), 99999);
  EXPECT_EQ(grid.model().data(grid.model().index(99998, 3), Qt::DisplayRole).toString(),
            QStringLiteral("999993"));
  grid.setRow(99999);
  EXPECT_EQ(grid.row(), 99999);
}

TEST(Jpeg, DecodesTheBannersAndRefusesDamagedData) {
  QFile file(QStringLiteral(":/banner_en.jpg"));
  QByteArray bytes;
  if (file.open(QIODevice::ReadOnly)) bytes = file.readAll();
  if (bytes.isEmpty()) {
    // Make one with Qt when the banners are not registered in this binary.
    QImage source(40, 10, QImage::Format_RGB888);
    source.fill(Qt::green);
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    ASSERT_TRUE(source.save(&buffer, "JPG"));
  }
  const QImage image = platform::DecodeJpeg(bytes);
  ASSERT_FALSE(image.isNull());
  EXPECT_GT(image.width(), 0);

  EXPECT_TRUE(platform::DecodeJpeg(QByteArray()).isNull());
  EXPECT_TRUE(platform::DecodeJpeg(QByteArray("not a picture")).isNull());
  // A cut image may decode partly or not at all; either way the call comes back.
  (void)platform::DecodeJpeg(bytes.left(bytes.size() / 3));
  QByteArray scrambled = bytes;
  for (qsizetype i = 20; i < scrambled.size(); i += 7) scrambled[i] = static_cast<char>(i);
  (void)platform::DecodeJpeg(scrambled);
}

}  // namespace

#include <QApplication>
#include <QLabel>
#include <QProgressDialog>
#include <QTimer>
#include <QWidget>
#include <chrono>
#include <thread>

#include "platform/LongTask.h"

namespace {

// A long task's window has the title it was given, a size of its own that cannot change, and
// shows the share done with the figures the caller makes of it.
TEST(LongTask, TheWindowIsTitledFixedAndShowsHowFarTheWorkGot) {
  QWidget window;
  window.show();
  tallyra::WorkControl control;
  control.SetTotal(4000);
  std::atomic<bool> release{false};
  QString title, label;
  bool fixed = false;
  int value = -1, maximum = -1;
  // Looks at the window once it is up and has been told the figures, then lets the work end.
  QTimer look;
  QObject::connect(&look, &QTimer::timeout, [&] {
    auto* dialog = window.findChild<QProgressDialog*>();
    if (!dialog || !dialog->isVisible() || dialog->value() <= 0) return;
    title = dialog->windowTitle();
    label = dialog->labelText();
    fixed = dialog->minimumSize() == dialog->maximumSize();
    value = dialog->value();
    maximum = dialog->maximum();
    release = true;
  });
  look.start(20);
  const platform::TaskWindow saving{
      QStringLiteral("Saving"), QStringLiteral("Saving the list..."),
      [](const platform::TaskFigures& figures) {
        return QStringLiteral("%1 of %2").arg(figures.done).arg(figures.total);
      }};
  const bool finished =
      platform::RunLongTask(&window, saving, control, [&](tallyra::WorkControl& work) {
        work.SetDone(1000);
        // Held until the window has been looked at; the bound only ends a hang.
        for (int i = 0; i < 3000 && !release; ++i) {
          std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
      });
  EXPECT_TRUE(finished);
  EXPECT_TRUE(release.load()) << "the window showed the figures";
  EXPECT_EQ(title, QStringLiteral("Saving"));
  EXPECT_EQ(label, QStringLiteral("Saving the list...\n1000 of 4000"));
  EXPECT_TRUE(fixed);
  EXPECT_EQ(maximum, 1000);
  EXPECT_EQ(value, 250);
}

}  // namespace

namespace {

class Preferences : public GuiTest {};

TEST_F(Preferences, AreKeptInTheirOwnFileAndSurviveARestart) {
  EXPECT_EQ(
      platform::ReadPreference(Files(), QStringLiteral("files/lastFolder"), QStringLiteral("-")),
      QStringLiteral("-"));
  platform::WritePreference(Files(), QStringLiteral("files/lastFolder"),
                            QStringLiteral("/home/ann/draws"));
  platform::WritePreference(Files(), QStringLiteral("download/address"),
                            QStringLiteral("https://example.org/a b;c=1"));
  EXPECT_EQ(platform::ReadPreference(Files(), QStringLiteral("files/lastFolder")),
            QStringLiteral("/home/ann/draws"));
  EXPECT_EQ(platform::ReadPreference(Files(), QStringLiteral("download/address")),
            QStringLiteral("https://example.org/a b;c=1"));
  EXPECT_TRUE(QFile::exists(Path(QStringLiteral("preferences.ini"))));
  EXPECT_FALSE(QFile::exists(Path(QStringLiteral("ini.tly"))))
      << "the old settings file stays as it was";
}

// A preferences file far beyond what the program writes, or one that is no regular file, is
// neither read nor saved over: the defaults serve.
TEST_F(Preferences, AnOversizedOrSpecialFileIsLeftAloneAndTheDefaultsServe) {
  QByteArray huge = "[files]\nlastFolder=/home/ann\n";
  huge.append(QByteArray((1 << 20) + 1, '#'));
  WriteFile(QStringLiteral("preferences.ini"), huge);
  EXPECT_EQ(
      platform::ReadPreference(Files(), QStringLiteral("files/lastFolder"), QStringLiteral("-")),
      QStringLiteral("-"));
  platform::WritePreference(Files(), QStringLiteral("files/lastFolder"), QStringLiteral("/tmp"));
  EXPECT_EQ(ReadFile(QStringLiteral("preferences.ini")), huge);

  ASSERT_TRUE(QFile::remove(Path(QStringLiteral("preferences.ini"))));
  ASSERT_TRUE(QDir().mkdir(Path(QStringLiteral("preferences.ini"))));
  EXPECT_EQ(
      platform::ReadPreference(Files(), QStringLiteral("files/lastFolder"), QStringLiteral("-")),
      QStringLiteral("-"));
  platform::WritePreference(Files(), QStringLiteral("files/lastFolder"), QStringLiteral("/tmp"));
  EXPECT_TRUE(QFileInfo(Path(QStringLiteral("preferences.ini"))).isDir());
}

}  // namespace
