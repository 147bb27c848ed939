// tallyra-cli games: the "6 of M" games the importer knows, for --game and for a look.

#include <algorithm>
#include <memory>
#include <string>

#include "cli/Commands.h"
#include "cli/Json.h"
#include "import/Games.h"
#include "model/Workspace.h"

namespace tallyra::cli {

class GamesCommand final : public Command {
 public:
  GamesCommand();
  int run(const Arguments& args, Output& output) const override;
};

namespace {

// Characters, not bytes: Russian names take two bytes a letter.
std::size_t Width(std::string_view text) {
  std::size_t n = 0;
  for (const char c : text) n += (static_cast<unsigned char>(c) & 0xC0) != 0x80;
  return n;
}

std::string Padded(std::string_view text, std::size_t width) {
  std::string out(text);
  for (std::size_t n = Width(text); n < width; ++n) out += ' ';
  return out;
}

void WriteWords(std::ostream& out, const std::vector<std::string_view>& words) {
  out << '[';
  for (std::size_t i = 0; i < words.size(); ++i) out << (i ? ", " : "") << JsonQuoted(words[i]);
  out << ']';
}

void WriteJson(std::ostream& out, int32_t language) {
  const char* const kDays[] = {"monday", "tuesday",  "wednesday", "thursday",
                               "friday", "saturday", "sunday"};
  out << "{\"games\": [";
  bool firstGame = true;
  for (const Game& game : Games()) {
    out << (firstGame ? "" : ", ") << "{\"id\": " << JsonQuoted(game.id)
        << ", \"name\": " << JsonQuoted(GameName(&game, game.highest, language))
        << ", \"name_en\": " << JsonQuoted(game.english)
        << ", \"name_ru\": " << JsonQuoted(game.russian) << ", \"max\": " << game.highest
        << ", \"extras\": [";
    firstGame = false;
    for (std::size_t i = 0; i < game.extras.size(); ++i) {
      const ExtraBall& e = game.extras[i];
      out << (i ? ", " : "") << "{\"name_en\": " << JsonQuoted(e.english)
          << ", \"name_ru\": " << JsonQuoted(e.russian)
          << ", \"same_drum\": " << (e.sameDrum ? "true" : "false") << ", \"range\": ";
      if (e.sameDrum)
        out << "null";
      else
        out << '[' << e.low << ", " << e.high << ']';
      out << ", \"headings\": ";
      WriteWords(out, e.headings);
      out << '}';
    }
    out << "], \"draw_days\": [";
    bool firstDay = true;
    for (int day = 0; day < 7; ++day) {
      if (!(game.drawDays & (1 << day))) continue;
      out << (firstDay ? "" : ", ") << '"' << kDays[day] << '"';
      firstDay = false;
    }
    out << "], \"draw_days_text\": " << JsonQuoted(DrawDaysText(game.drawDays, language))
        << ", \"heading_signs\": ";
    WriteWords(out, game.headingSigns);
    out << '}';
  }
  out << "]}\n";
}

}  // namespace

GamesCommand::GamesCommand()
    : Command({.name = "games",
               .usage = "  tallyra-cli games [--lang en|ru] [--json]\n",
               .options = {kLang, kJson}}) {}

int GamesCommand::run(const Arguments& args, Output& output) const {
  const int32_t language = args.language();
  if (args.json()) {
    WriteJson(output.out, language);
    return 0;
  }
  std::size_t idWidth = 0, nameWidth = 0;
  for (const Game& game : Games()) {
    idWidth = std::max(idWidth, game.id.size());
    nameWidth = std::max(nameWidth, Width(GameName(&game, game.highest, language)));
  }
  for (const Game& game : Games()) {
    output.out << Padded(game.id, idWidth + 2)
               << Padded(GameName(&game, game.highest, language), nameWidth + 2) << game.highest
               << '\n';
  }
  return 0;
}

std::unique_ptr<Command> MakeGamesCommand() {
  return std::make_unique<GamesCommand>();
}

}  // namespace tallyra::cli
