#include <QCheckBox>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <QPushButton>

#include "GuiFixture.h"

namespace {

struct CliRun {
  int code;
  QByteArray out;
  QByteArray err;
};

CliRun Cli(const QStringList& args) {
  QProcess process;
  process.start(QStringLiteral(TALLYRA_CLI), args);
  process.waitForFinished(60000);
  return {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
}

class CliTest : public GuiTest {
 protected:
  void SetUp() override {
    GuiTest::SetUp();
    WriteFile(
        QStringLiteral("st.txt"),
        "1 - 1,2,3,4,5,6;\r\n2 - 1,2,3,4,40,41;\r\n3 - 1,2,3,30,31,32;\r\n4 - 7,8,9,10,11,12;\r\n");
    WriteFile(QStringLiteral("sy.txt"), "1 - 1,2,3,20,21,22,23;\r\n2 - 7,8,9,10,11,12,13,14;\r\n");
    WriteFile(QStringLiteral("Results.txt"),
              "1 - 1,2,3,4,5,6;\r\n2 - 7,8,9,30,31,32;\r\n3 - 1,2,3,7,8,9;\r\n");
    StartEnglish();
    script.chooseFile(Path(QStringLiteral("st.txt")));
    form->N6->trigger();
    script.chooseFile(Path(QStringLiteral("sy.txt")));
    form->N31->trigger();
  }
  // The window's outcome in the shape of the command's output.
  QJsonObject Window() {
    QJsonObject counts, lists;
    const QString keys[] = {QStringLiteral("3"), QStringLiteral("4"), QStringLiteral("5"),
                            QStringLiteral("6")};
    for (std::size_t c = 0; c < 4; ++c) {
      counts[keys[c]] = static_cast<qint64>(form->MatchTotals()[c]);
      lists[keys[c]] =
          form->MatchLists()[c] ? QString::fromUtf8(form->MatchLists()[c]->text()) : QString();
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
            {QStringLiteral("stakes"), rows(form->SGStav, form->workspace().StakeCount)},
            {QStringLiteral("system"), rows(form->SGSys, form->workspace().SystemCount)}};
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
  for (const Case& c : {Case{"stakes", form->BitTest}, Case{"stakes-results", form->BitRes},
                        Case{"system", form->BitTestSys}, Case{"system-results", form->BitSys},
                        Case{"all", form->BitAll}}) {
    // The window's grids keep columns of earlier runs; start each from empty columns.
    form->SGStav->model().clearCounts();
    form->SGSys->model().clearCounts();
    c.button->click();
    EXPECT_EQ(Json(QStringList{QStringLiteral("collate"), QString::fromLatin1(c.kind)} + files),
              Window())
        << c.kind;
  }
}

TEST_F(CliTest, TheCheckGivesWhatTheWindowShows) {
  form->workspace().CheckCombination = {0, 1, 2, 3, 4, 5, 6};
  form->CheckSys->setChecked(true);
  form->BitTestStav->click();
  EXPECT_EQ(
      Json({QStringLiteral("check"), QStringLiteral("--combination"), QStringLiteral("1,2,3,4,5,6"),
            QStringLiteral("--stakes"), Path(QStringLiteral("st.txt")), QStringLiteral("--system"),
            Path(QStringLiteral("sy.txt")), QStringLiteral("--include-system")}),
      Window());
}

TEST_F(CliTest, BadInputIsReportedWithTheWindowsTexts) {
  CliRun run =
      Cli({QStringLiteral("check"), QStringLiteral("--combination"), QStringLiteral("1,2,3,4,5,50"),
           QStringLiteral("--results"), Path(QStringLiteral("Results.txt"))});
  EXPECT_EQ(run.code, 1);
  EXPECT_EQ(run.err, QByteArray("Inserted values are incorrect\n"));
  run = Cli({QStringLiteral("check"), QStringLiteral("--combination"),
             QStringLiteral("1,2,3,4,5,6,06"), QStringLiteral("--results"),
             Path(QStringLiteral("Results.txt")), QStringLiteral("--lang"), QStringLiteral("ru")});
  EXPECT_EQ(run.code, 1);
  EXPECT_EQ(QString::fromUtf8(run.err), QStringLiteral("Введённые значения не могут совпадать\n"));

  WriteFile(QStringLiteral("bad.txt"), "1 - 1,2,x,4,5,6;\r\n");
  run = Cli({QStringLiteral("collate"), QStringLiteral("system"), QStringLiteral("--system"),
             Path(QStringLiteral("sy.txt")), QStringLiteral("--stakes"),
             Path(QStringLiteral("bad.txt"))});
  EXPECT_EQ(run.code, 1) << "a bad file fails the call even where the run would not use it";
  EXPECT_TRUE(run.err.contains("'x' is not a valid integer value"));
  run = Cli({QStringLiteral("collate"), QStringLiteral("stakes"), QStringLiteral("--stakes"),
             Path(QStringLiteral("none.txt"))});
  EXPECT_EQ(run.code, 1);
  EXPECT_TRUE(run.err.contains("No such file or directory"));
  EXPECT_EQ(Cli({QStringLiteral("collate"), QStringLiteral("everything")}).code, 2);
  EXPECT_EQ(
      Cli({QStringLiteral("check"), QStringLiteral("--combination"), QStringLiteral("1,2,3")}).code,
      2);

  run = Cli({QStringLiteral("collate"), QStringLiteral("stakes"), QStringLiteral("--stakes"),
             Path(QStringLiteral("st.txt"))});
  EXPECT_EQ(run.code, 0);
  EXPECT_TRUE(run.out.contains("4 common numbers: 1 entry\n    1=2 , \n")) << run.out.toStdString();
}

// --lists leaves the lists out or cuts them at a number of entries, and says which it cut;
// `full` is what --json writes without it.
TEST_F(CliTest, JsonListsCanBeLeftOutOrCut) {
  const QStringList run = {QStringLiteral("collate"),   QStringLiteral("all"),
                           QStringLiteral("--stakes"),  Path(QStringLiteral("st.txt")),
                           QStringLiteral("--system"),  Path(QStringLiteral("sy.txt")),
                           QStringLiteral("--results"), Path(QStringLiteral("Results.txt")),
                           QStringLiteral("--json")};
  const CliRun whole = Cli(run);
  ASSERT_EQ(whole.code, 0) << whole.err.toStdString();
  EXPECT_EQ(Cli(run + QStringList{QStringLiteral("--lists"), QStringLiteral("full")}).out,
            whole.out);
  const QJsonObject all = QJsonDocument::fromJson(whole.out).object();
  ASSERT_EQ(all[QStringLiteral("lists")].toObject()[QStringLiteral("3")].toString(),
            QStringLiteral("Stakes: 1=3 , 2=3 , 3=1 , 3=2 , 3=3 , 4=2 , 4=3 , System stakes: 1=1 , "
                           "1=3 , 2=2 , 2=3 , "));

  QJsonObject none = Json(run.mid(0, run.size() - 1) +
                          QStringList{QStringLiteral("--lists"), QStringLiteral("none")});
  EXPECT_FALSE(none.contains(QStringLiteral("lists")));
  EXPECT_FALSE(none.contains(QStringLiteral("lists_cut")));
  EXPECT_EQ(none[QStringLiteral("counts")], all[QStringLiteral("counts")]);
  EXPECT_EQ(none[QStringLiteral("stakes")], all[QStringLiteral("stakes")]);

  const QJsonObject cut = Json(run.mid(0, run.size() - 1) +
                               QStringList{QStringLiteral("--lists"), QStringLiteral("4")});
  const QJsonObject lists = cut[QStringLiteral("lists")].toObject();
  EXPECT_EQ(lists[QStringLiteral("3")].toString(),
            QStringLiteral("Stakes: 1=3 , 2=3 , 3=1 , 3=2 , "));
  EXPECT_EQ(lists[QStringLiteral("6")],
            all[QStringLiteral("lists")].toObject()[QStringLiteral("6")]);
  const QJsonObject flags = cut[QStringLiteral("lists_cut")].toObject();
  EXPECT_EQ(flags[QStringLiteral("3")], QJsonValue(true));
  EXPECT_EQ(flags[QStringLiteral("6")], QJsonValue(false));
  const QJsonObject nothing = Json(run.mid(0, run.size() - 1) +
                                   QStringList{QStringLiteral("--lists"), QStringLiteral("0")});
  EXPECT_EQ(nothing[QStringLiteral("lists")].toObject()[QStringLiteral("3")].toString(), QString());
  EXPECT_EQ(nothing[QStringLiteral("lists_cut")].toObject()[QStringLiteral("3")], QJsonValue(true));

  for (const char* bad : {"-1", "some", "", "1x"}) {
    EXPECT_EQ(Cli(run + QStringList{QStringLiteral("--lists"), QString::fromLatin1(bad)}).code, 2)
        << bad;
  }
  EXPECT_EQ(Cli(run.mid(0, run.size() - 1) +
                QStringList{QStringLiteral("--lists"), QStringLiteral("none")})
                .code,
            2)
      << "--lists belongs to --json";
  EXPECT_EQ(
      Cli({QStringLiteral("check"), QStringLiteral("--combination"), QStringLiteral("1,2,3,4,5,6"),
           QStringLiteral("--results"), Path(QStringLiteral("Results.txt")),
           QStringLiteral("--json"), QStringLiteral("--lists"), QStringLiteral("none")})
          .code,
      2);
}

}  // namespace
