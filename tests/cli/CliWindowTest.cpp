// The command line and the window give the same collations, checks and analyses.

#include <QCheckBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QPushButton>
#include <QTableView>

#include "CliFolder.h"
#include "CliRun.h"
#include "GuiFixture.h"
#include "dialogs/AnalysisWindow.h"

namespace {

class CliTest : public CliFolder {
 protected:
  void SetUp() override {
    CliFolder::SetUp();
    StartEnglish();
    script.chooseFile(Path(QStringLiteral("st.txt")));
    Trigger("N6");
    script.chooseFile(Path(QStringLiteral("sy.txt")));
    Trigger("N31");
  }
  // The window's outcome in the shape of the command's output.
  QJsonObject Window() {
    QJsonObject counts, lists;
    const QString keys[] = {QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("5"),
                            QStringLiteral("6")};
    for (std::size_t c = 0; c < 4; ++c) {
      counts[keys[c]] = static_cast<qint64>(form->matchTotals()[c]);
      lists[keys[c]] =
          form->matchLists()[c] ? QString::fromUtf8(form->matchLists()[c]->text()) : QString();
    }
    auto rows = [](platform::StringGrid* grid, int count) {
      QJsonArray all;
      for (int r = 1; r <= count; ++r) {
        QJsonArray row;
        for (int c = grid->model().columnCount() - 4; c < grid->model().columnCount(); ++c) {
          row.append(grid->model().cellText(r, c).toInt());
        }
        all.append(row);
      }
      return all;
    };
    return {{QStringLiteral("counts"), counts},
            {QStringLiteral("lists"), lists},
            {QStringLiteral("stakes"), rows(Grid("SGStav"), form->workspace().StakeCount)},
            {QStringLiteral("system"), rows(Grid("SGSys"), form->workspace().SystemCount)}};
  }
  QJsonObject Json(const QStringList& args) {
    const CliRun run = Cli(args + QStringList{QStringLiteral("--json")});
    EXPECT_EQ(run.code, 0) << run.err.toStdString();
    return QJsonDocument::fromJson(run.out).object();
  }
};

TEST_F(CliTest, EveryCollationGivesWhatTheWindowShows) {
  const QStringList files = {QStringLiteral("--stakes"),  Path(QStringLiteral("st.txt")),
                             QStringLiteral("--system"),  Path(QStringLiteral("sy.txt")),
                             QStringLiteral("--results"), Path(QStringLiteral("Results.txt"))};
  struct Case {
    const char* kind;
    QPushButton* button;
  };
  for (const Case& c : {Case{"stakes", Button("BitTest")}, Case{"stakes-results", Button("BitRes")},
                        Case{"system", Button("BitTestSys")},
                        Case{"system-results", Button("BitSys")}, Case{"all", Button("BitAll")}}) {
    // The window's grids keep columns of earlier runs; start each from empty columns.
    Grid("SGStav")->model().clearCounts();
    Grid("SGSys")->model().clearCounts();
    c.button->click();
    EXPECT_EQ(Json(QStringList{QStringLiteral("collate"), QString::fromLatin1(c.kind)} + files),
              Window())
        << c.kind;
  }
}

TEST_F(CliTest, TheCheckGivesWhatTheWindowShows) {
  form->workspace().CheckCombination = {0, 1, 2, 3, 4, 5, 6};
  CheckBox("CheckSys")->setChecked(true);
  Click("BitTestStav");
  EXPECT_EQ(
      Json({QStringLiteral("check"), QStringLiteral("--combination"), QStringLiteral("1,2,3,4,5,6"),
            QStringLiteral("--stakes"), Path(QStringLiteral("st.txt")), QStringLiteral("--system"),
            Path(QStringLiteral("sy.txt")), QStringLiteral("--include-system")}),
      Window());
}

TEST_F(CliTest, TheAnalysisGivesWhatTheWindowShows) {
  Trigger("AnalysisItem");
  auto* window = form->findChild<AnalysisWindow*>(QStringLiteral("AnalysisWindow"));
  ASSERT_NE(window, nullptr);
  const auto* view = window->findChild<QTableView*>(QStringLiteral("AnalysisNumbers"));
  ASSERT_NE(view, nullptr);
  // The report's table of numbers, a line a number, against the window's rows.
  const CliRun run = Cli({QStringLiteral("analyse"), QStringLiteral("--results"),
                          Path(QStringLiteral("Results.txt"))});
  ASSERT_EQ(run.code, 0) << run.err.toStdString();
  const QStringList lines = QString::fromUtf8(run.out).split(u'\n');
  const QAbstractItemModel* m = view->model();
  ASSERT_EQ(m->rowCount(), 49);
  for (int row = 0; row < m->rowCount(); ++row) {
    QStringList shown;
    for (int column = 0; column < 6; ++column) shown << m->data(m->index(row, column)).toString();
    const QStringList printed = lines.value(3 + row).split(u' ', Qt::SkipEmptyParts);
    // The window leaves the average of a number never drawn blank; the report writes "-".
    if (shown[4].isEmpty()) shown[4] = QStringLiteral("-");
    EXPECT_EQ(shown, printed) << row;
  }
}

}  // namespace
