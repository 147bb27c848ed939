// The table of "6 of M" games, the game proposed for a history, and the command line's
// `games` command and `import --game`, run as the real executable.

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdlib>
#include <set>
#include <string>
#include <vector>

#include "RunCli.h"
#include "import/Games.h"
#include "model/Files.h"
#include "model/Workspace.h"

namespace tallyra {
namespace {

TEST(Games, EveryGameIsASixOfMTheProgramCanPlayWithAUniqueIdAndBothNames) {
  std::set<std::string_view> ids;
  EXPECT_GE(Games().size(), 15u);
  for (const Game& game : Games()) {
    EXPECT_TRUE(ids.insert(game.id).second) << game.id;
    EXPECT_GE(game.highest, 2) << game.id;
    EXPECT_LE(game.highest, 99) << game.id;
    EXPECT_FALSE(game.english.empty()) << game.id;
    EXPECT_FALSE(game.russian.empty()) << game.id;
    EXPECT_NE(game.drawDays, 0) << game.id;
    EXPECT_EQ(FindGame(game.id), &game);
    for (const ExtraBall& extra : game.extras) EXPECT_FALSE(extra.headings.empty()) << game.id;
  }
  EXPECT_EQ(FindGame("no-such-game"), nullptr);
  EXPECT_EQ(DrawDaysText(FindGame("uk-lotto")->drawDays, ToValue(Language::English)),
            "Wednesday, Saturday");
  EXPECT_EQ(DrawDaysText(FindGame("bonoloto")->drawDays, ToValue(Language::Russian)),
            "каждый день");
  // An M no game has is named plainly; one a game has names the game the user chose.
  EXPECT_EQ(GameName(GameForHighest(57, ""), 57, ToValue(Language::English)), "6 of 57");
  EXPECT_EQ(GameForHighest(49, "german-6aus49")->id, "german-6aus49");
  EXPECT_EQ(GameForHighest(59, "german-6aus49")->id, "uk-lotto");
}

TEST(Games, TheHeadingAndTheLargestNumberProposeTheGame) {
  struct Case {
    int32_t highestSeen;
    std::vector<std::string> heading;
    const char* expected;  // null: nothing to go by
  };
  const std::vector<Case> cases = {
      // The operator's UK download: "Bonus Ball" is shared, the ball set is its own.
      {59,
       {"DrawDate", "Ball 1", "Ball 2", "Ball 3", "Ball 4", "Ball 5", "Ball 6", "Bonus Ball",
        "Ball Set", "Machine", "Raffles", "DrawNumber"},
       "uk-lotto"},
      {60,
       {"Concurso", "Data do Sorteio", "Bola1", "Bola2", "Bola6", "Rateio 6 acertos"},
       "mega-sena"},
      {37, {"הגרלה", "תאריך", "1", "2", "6", "המספר החזק/נוסף"}, "israel-lotto"},
      {43, {"抽せん回", "本数字1", "本数字6", "ボーナス数字"}, "japan-loto6"},
      {49, {"Fecha", "Bola1", "Bola6", "Complementario", "Reintegro", "Joker"}, "la-primitiva"},
      {49, {"datum", "1. cislo 1. tah", "dodatkove cislo 1. tah"}, "czech-sportka"},
      {49, {"Date", "NUMBER DRAWN 1", "BONUS NUMBER"}, "canada-649"},
      {47, {"DrawDate", "N1", "N6", "BN", "Jackpot"}, "irish-lotto"},
      // "Bonus" alone fits several games: the M nearest the numbers read wins.
      {40, {"Date", "N1", "N6", "Bonus"}, "nz-lotto"},
      // A heading of a game whose M is below the numbers read does not hold.
      {55, {"Date", "N1", "N6", "BN"}, "pcso-655"},
      // No heading: a game whose M is the largest number, or none.
      {90, {}, "superenalotto"},
      {57, {}, nullptr},
      {0, {"Date", "A", "B"}, nullptr},
  };
  for (const Case& c : cases) {
    const Game* game = ProposeGame(c.highestSeen, c.heading);
    const std::string_view got = game ? game->id : "none";
    EXPECT_EQ(got, c.expected ? c.expected : "none") << c.highestSeen << " " << c.heading.size();
  }
}

class GamesCommand : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/tallyra-games-XXXXXX";
    ASSERT_NE(::mkdtemp(pattern), nullptr);
    m_dir = pattern;
  }
  void TearDown() override { std::system(("rm -rf '" + m_dir + "'").c_str()); }
  std::string path(const std::string& name) const { return m_dir + "/" + name; }
  std::string m_dir;
};

TEST_F(GamesCommand, ListsEveryGameAsTextOrJson) {
  const test::ProgramRun text = test::RunCli({"games"});
  EXPECT_EQ(text.code, 0) << text.err;
  // A line a game: its id, its name, its M, in columns.
  EXPECT_EQ(
      text.out.rfind("uk-lotto                  UK Lotto                             59\n", 0), 0u)
      << text.out;
  std::size_t lines = 0;
  for (const char c : text.out) lines += c == '\n';
  EXPECT_EQ(lines, Games().size());

  const test::ProgramRun russian = test::RunCli({"games", "--lang", "ru"});
  EXPECT_EQ(russian.code, 0);
  EXPECT_NE(russian.out.find("Мега-Сена (Бразилия)"), std::string::npos) << russian.out;

  const test::ProgramRun json = test::RunCli({"games", "--json"});
  EXPECT_EQ(json.code, 0) << json.err;
  EXPECT_EQ(json.out.rfind("{\"games\": [{\"id\": \"uk-lotto\"", 0), 0u) << json.out;
  for (const char* field :
       {"\"name_en\": \"German Lotto 6 aus 49\"", "\"name_ru\": \"Лото «6 из 49» (Германия)\"",
        "\"max\": 60", "\"same_drum\": false, \"range\": [0, 9], \"headings\": [\"Superzahl\"",
        "\"draw_days\": [\"wednesday\", \"saturday\"]", "\"draw_days_text\": \"every day\""}) {
    EXPECT_NE(json.out.find(field), std::string::npos) << field;
  }

  const test::ProgramRun wrong = test::RunCli({"games", "--max", "49"});
  EXPECT_EQ(wrong.code, 2);
}

TEST_F(GamesCommand, ImportTakesTheGamesMAndRefusesAnUnknownGameOrBothWays) {
  // Numbers up to 59: a 6 of 49 reading leaves the lines out, the UK game keeps them.
  const std::string history =
      "1. 03.01.2024 3,17,25,41,52,59\n"
      "2. 06.01.2024 1,9,22,30,44,58\n";
  ASSERT_FALSE(WriteFileReplacing(path("uk.txt"), history));
  const test::ProgramRun uk =
      test::RunCli({"import", path("uk.txt"), "--as", "results", "--game", "uk-lotto", "--json"});
  EXPECT_EQ(uk.code, 0) << uk.err;
  EXPECT_NE(uk.out.find("\"max\": 59"), std::string::npos) << uk.out;
  EXPECT_NE(uk.out.find("\"rows\": 2,"), std::string::npos) << uk.out;

  const test::ProgramRun unknown =
      test::RunCli({"import", path("uk.txt"), "--as", "results", "--game", "uk-lottery"});
  EXPECT_EQ(unknown.code, 2);
  EXPECT_NE(unknown.err.find("unknown game 'uk-lottery'"), std::string::npos) << unknown.err;
  EXPECT_NE(unknown.err.find("uk-lotto, canada-649"), std::string::npos) << unknown.err;

  const test::ProgramRun both = test::RunCli(
      {"import", path("uk.txt"), "--as", "results", "--game", "uk-lotto", "--max", "59"});
  EXPECT_EQ(both.code, 2);
  EXPECT_NE(both.err.find("--game and --max exclude each other"), std::string::npos) << both.err;
}

}  // namespace
}  // namespace tallyra
