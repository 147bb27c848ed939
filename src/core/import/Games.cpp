#include "import/Games.h"

#include <algorithm>
#include <cctype>
#include <map>

#include "model/TextTable.h"
#include "model/Workspace.h"

namespace tallyra {

namespace {

constexpr uint8_t kEveryDay = 0x7f;

// Each row's facts were checked against the pages named above it. Draw days are those in
// force when the pages were written; where M changed over the years, the row holds today's and
// a long history may run up to an older, smaller one.
std::vector<Game> MakeGames() {
  std::vector<Game> g;
  // https://worldlottery.org/uk-national-lottery ; http://www.lotterypowerpicks.com/U6_info.htm
  // (59 balls since October 2015, 49 before); https://www.lotto.net/uk-lotto (bonus ball drawn
  // after the six); the operator's CSV download heads "Bonus Ball", "Ball Set", "Machine".
  g.push_back({"uk-lotto",
               "UK Lotto",
               "Лотто (Великобритания)",
               59,
               {{"bonus ball", "бонусный шар", true, 0, 0, {"Bonus Ball", "Bonus", "Lucky"}}},
               kWednesday | kSaturday,
               {"Ball Set", "Machine", "Raffles"}});
  // https://www.national-lottery.com/canada-6-49 (bonus from the 43 remaining numbers,
  // Wednesday and Saturday); http://www.worldlottery.net/lotto-649-canada.
  g.push_back({"canada-649",
               "Canada Lotto 6/49",
               "Лотто 6/49 (Канада)",
               49,
               {{"bonus number", "бонусный номер", true, 0, 0, {"BONUS NUMBER", "Bonus"}}},
               kWednesday | kSaturday,
               {"NUMBER DRAWN", "SEQUENCE NUMBER", "PRODUCT"}});
  // https://lottonerd.de/amp/lotto-6aus49 (Superzahl 0-9, Wednesday and Saturday);
  // https://www.dereurojackpot.net/eurojackpot-nachrichten/aus-fuer-die-zusatzzahl/ (the last
  // Zusatzzahl on 01.05.2013). The short headings "ZZ" and "S" are not checked in a file.
  g.push_back({"german-6aus49",
               "German Lotto 6 aus 49",
               "Лото «6 из 49» (Германия)",
               49,
               {{"Superzahl", "суперчисло", false, 0, 9, {"Superzahl"}},
                {"Zusatzzahl (until May 2013)",
                 "дополнительное число (до мая 2013)",
                 true,
                 0,
                 0,
                 {"Zusatzzahl", "ZZ"}}},
               kWednesday | kSaturday,
               {"Kugel", "Ziehung", "Spiel 77", "Super 6"}});
  // https://loteriachorten.pl/lotto-ile-liczb-skreslic-zwieksz-swoje-szanse-na-wygrana ;
  // https://www.elzem.pl/duzy-lotek-czyli-co/ (6 of 49, Tuesday, Thursday, Saturday);
  // https://wiadomosci.wp.pl/zegnaj-duzy-lotku-6037112975791233a (Duży Lotek renamed Lotto).
  g.push_back({"polish-lotto",
               "Polish Lotto",
               "Лотто (Польша)",
               49,
               {},
               kTuesday | kThursday | kSaturday,
               {"Losowanie", "Lotek"}});
  // https://www.loteriasyapuestas.es/es/centro-de-ayuda/como-se-juega/jugar-a-la-primitiva
  // (Monday, Thursday, Saturday; complementario and reintegro);
  // https://www.buenastareas.com/ensayos/La-Primitiva-y-El-Gordo-De/7365263.html (the
  // complementario from the same drum, the reintegro 0-9 from its own).
  g.push_back({"la-primitiva",
               "La Primitiva (Spain)",
               "Ла Примитива (Испания)",
               49,
               {{"complementario", "дополнительный номер", true, 0, 0, {"Complementario"}},
                {"reintegro", "реинтегро", false, 0, 9, {"Reintegro"}}},
               kMonday | kThursday | kSaturday,
               {"Joker", "Primitiva"}});
  // https://elpais.com/sorteos/2026-01-13/bonoloto-comprobar-sorteo-del-martes-13-de-enero.html
  // (every day; complementario and reintegro); Monday to Saturday in 2021-2022:
  // https://lasexta.com/loteria/bonoloto/bonoloto-hoy-comprobar-sorteo-resultados-lunes-21-noviembre-2022_20221121637bbdc8bef62f00011514ef.html
  g.push_back({"bonoloto",
               "Bonoloto (Spain)",
               "Бонолото (Испания)",
               49,
               {{"complementario", "дополнительный номер", true, 0, 0, {"Complementario"}},
                {"reintegro", "реинтегро", false, 0, 9, {"Reintegro"}}},
               kEveryDay,
               {"Bonoloto"}});
  // https://www.dci.com.br/financas/loterias/mega-sena/mega-sena-nao-tera-mais-tradicional-sorteio-na-quarta-feira/303421/
  // (Tuesday, Thursday, Saturday since August 2023); https://cuiabanonews.com.br/?p=277866
  // (six numbers of 60). The operator's file heads "Concurso", "Bola1".."Bola6".
  g.push_back({"mega-sena",
               "Mega-Sena (Brazil)",
               "Мега-Сена (Бразилия)",
               60,
               {},
               kTuesday | kThursday | kSaturday,
               {"Concurso", "Bola", "Sorteio", "Ganhadores", "Rateio", "Acertos"}});
  // http://www.pais.co.il/sites/en/Lotto/Pages/HowtoPlay.aspx (6 of 37, a strong number of
  // 1-7, Tuesday and Saturday). Thursday draws seen in files are not checked.
  g.push_back({"israel-lotto",
               "Israeli Lotto",
               "Лото (Израиль)",
               37,
               {{"strong number",
                 "сильное число",
                 false,
                 1,
                 7,
                 {"המספר החזק", "Strong number", "Power number"}}},
               kTuesday | kSaturday,
               {"הגרלה", "תאריך", "דאבל לוטו", "דאבל_לוטו"}});
  // http://poluby.ru/fashionstyle/lotereya-6-iz-45-kak-igrat-kak-igrat-v-gosloto-chtoby-vyigryvat/
  // (a daily game of six numbers of 1-45). Whether an extra ball is drawn and how many draws a
  // day are held is not checked.
  g.push_back({"gosloto-645",
               "Gosloto 6 of 45 (Russia)",
               "Гослото «6 из 45»",
               45,
               {},
               kEveryDay,
               {"Гослото"}});
  // http://www.lotterywest.wa.gov.au:80/games/games-information/saturday-lotto (the first six
  // balls win, the next two are the supplementaries; Saturday);
  // https://www.netlotto.com.au/content/Saturday-TattsLotto (40 balls and one supplementary
  // before July 1985). File headings of the supplementaries are not checked.
  g.push_back(
      {"australia-saturday-lotto",
       "Australian Saturday Lotto",
       "Субботнее лото (Австралия)",
       45,
       {{"two supplementary numbers", "два дополнительных номера", true, 0, 0, {"Supplementary"}}},
       kSaturday,
       {"TattsLotto", "Gold Lotto", "X Lotto"}});
  // https://irish.national-lottery.com/irish-lotto/how-to-play (1-47, Wednesday and
  // Saturday); https://www.irishlotto.ie/how-to-play-the-irish-lotto/ (the bonus from the
  // remaining balls); https://m.bannedsystems.co.uk/thelotterysite/irishlottery/info.htm
  // (36, 39, 42, 45 before; the date of the move to 47 is not checked).
  g.push_back({"irish-lotto",
               "Irish Lotto",
               "Лотто (Ирландия)",
               47,
               {{"bonus ball", "бонусный шар", true, 0, 0, {"BN", "Bonus"}}},
               kWednesday | kSaturday,
               {}});
  // https://www.lottohelden.de/hilfe/swisslotto/ (6 of 42 and a Glückszahl of 1-6, Wednesday
  // and Saturday); https://lottoguru.de/lottozahlen-schweiz/ch-swiss-lotto (the Replay number
  // 1-13).
  g.push_back({"swiss-lotto",
               "Swiss Lotto",
               "Швейцарское лото",
               42,
               {{"lucky number", "счастливое число", false, 1, 6, {"Glückszahl", "Gluckszahl"}},
                {"Replay number", "номер Replay", false, 1, 13, {"Replay"}}},
               kWednesday | kSaturday,
               {}});
  // https://www.lotterien.at/en/games/gaming-portfolio/lotto-6-aus-45 (Wednesday and Sunday);
  // http://www.onlinelotto.net/lotto-6aus45/ (the Zusatzzahl since 26 September 1988).
  // File headings of the Zusatzzahl are not checked.
  g.push_back({"austria-lotto",
               "Austrian Lotto 6 aus 45",
               "Лото «6 из 45» (Австрия)",
               45,
               {{"Zusatzzahl", "дополнительное число", true, 0, 0, {"Zusatzzahl", "ZZ"}}},
               kWednesday | kSunday,
               {}});
  // https://czwiki.cz/Lexikon/Sportka (6 of 49; Wednesday, Sunday, and Friday since
  // 5 October 2020); http://www.sportka-vysledky.cz/sportka/pravidla (two draws a drawing).
  g.push_back({"czech-sportka",
               "Czech Sportka",
               "Спортка (Чехия)",
               49,
               {{"additional number, one a draw",
                 "дополнительное число каждого тиража",
                 true,
                 0,
                 0,
                 {"dodatkove cislo", "dodatkové číslo"}}},
               kWednesday | kFriday | kSunday,
               {"tah", "tyden"}});
  // http://www.yourgreatdaysinparis.com/lotto-6-thorough-explanation-of-winning-probability-and-numbers-that-are-easy-to-win/
  // (Monday and Thursday; C(43,6) combinations). The bonus number's heading is seen in files.
  g.push_back({"japan-loto6",
               "Japan Loto 6",
               "Лото 6 (Япония)",
               43,
               {{"bonus number", "бонусный номер", true, 0, 0, {"ボーナス数字"}}},
               kMonday | kThursday,
               {"本数字", "抽せん"}});
  // https://www.notizie.it/superenalotto-come-funziona-come-si-vince-cosa-sapere/ (six numbers,
  // the Jolly and the SuperStar; Tuesday, Thursday, Saturday);
  // https://finanzanews24.com/superenalotto-come-funziona-lestrazione/amp (the Jolly from the
  // same draw, the SuperStar from its own). The SuperStar's heading is not checked.
  g.push_back({"superenalotto",
               "SuperEnalotto (Italy)",
               "СуперЭналотто (Италия)",
               90,
               {{"Jolly", "джолли", true, 0, 0, {"Jolly"}},
                {"SuperStar", "суперстар", false, 1, 90, {"SuperStar"}}},
               kTuesday | kThursday | kSaturday,
               {"Estrazione", "Concorso"}});
  // https://asiamillions.com/philippine-lotto-draw ;
  // https://balita.mb.com.ph/2022/10/10/jackpot-prize-ng-superlotto-6-49-papalo-ng-%e2%82%b1143m-ultralotto-6-58-%e2%82%b1122m-naman/
  // (the five games' M and draw days).
  g.push_back({"pcso-642",
               "PCSO Lotto 6/42 (Philippines)",
               "Лотто 6/42 (Филиппины)",
               42,
               {},
               kTuesday | kThursday | kSaturday,
               {"Lotto 6/42", "LOTTO GAME"}});
  g.push_back({"pcso-645",
               "PCSO Megalotto 6/45 (Philippines)",
               "Мегалотто 6/45 (Филиппины)",
               45,
               {},
               kMonday | kWednesday | kFriday,
               {"Megalotto 6/45", "Mega Lotto 6/45", "LOTTO GAME"}});
  g.push_back({"pcso-649",
               "PCSO Superlotto 6/49 (Philippines)",
               "Суперлотто 6/49 (Филиппины)",
               49,
               {},
               kTuesday | kThursday | kSunday,
               {"Superlotto 6/49", "Super Lotto 6/49", "LOTTO GAME"}});
  g.push_back({"pcso-655",
               "PCSO Grand Lotto 6/55 (Philippines)",
               "Гранд лотто 6/55 (Филиппины)",
               55,
               {},
               kMonday | kWednesday | kSaturday,
               {"Grand Lotto 6/55", "LOTTO GAME"}});
  g.push_back({"pcso-658",
               "PCSO Ultra Lotto 6/58 (Philippines)",
               "Ультра лотто 6/58 (Филиппины)",
               58,
               {},
               kTuesday | kFriday | kSunday,
               {"Ultra Lotto 6/58", "LOTTO GAME"}});
  // https://www.timeslive.co.za/news/south-africa/2025-09-25-ithuba-launches-daily-lotto-plus-promises-more-winnings/
  // (1-58 since 21 September 2025; 52 from July 2017, 49 before);
  // https://www.lotto.net/south-africa-lotto (bonus ball, Wednesday and Saturday). The file
  // heading of the bonus ball is not checked.
  g.push_back({"south-africa-lotto",
               "South African Lotto",
               "Лотто (ЮАР)",
               58,
               {{"bonus ball", "бонусный шар", true, 0, 0, {"Bonus Ball", "BB"}}},
               kWednesday | kSaturday,
               {"Ithuba"}});
  // http://www.lotto.net/new-zealand-powerball (1-40, the bonus ball from the remaining 34,
  // the Powerball 1-10 from a second machine; Wednesday and Saturday). File headings are not
  // checked.
  g.push_back({"nz-lotto",
               "New Zealand Lotto",
               "Лотто (Новая Зеландия)",
               40,
               {{"bonus ball", "бонусный шар", true, 0, 0, {"Bonus Ball", "Bonus"}},
                {"Powerball", "пауэрбол", false, 1, 10, {"Powerball"}}},
               kWednesday | kSaturday,
               {"Strike"}});
  // South Korea's Lotto 6/45 is left out: no page could confirm its rules.
  return g;
}

// ASCII letters folded to lower case; other bytes (UTF-8 included) stay as they are.
std::string Folded(std::string_view text) {
  std::string out(text);
  for (char& c : out) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  return out;
}

// A heading word is found in a field when it stands there whole: not as a piece of a longer
// word ("BN" in "BNumber"), though digits may follow ("Bola1").
bool Names(const std::string& field, const std::string& word) {
  for (std::size_t at = field.find(word); at != std::string::npos; at = field.find(word, at + 1)) {
    const auto letter = [](char c) { return std::isalpha(static_cast<unsigned char>(c)) != 0; };
    const bool startsWord = at == 0 || !letter(field[at - 1]);
    const std::size_t end = at + word.size();
    const bool endsWord = end >= field.size() || !letter(field[end]);
    if (startsWord && endsWord) return true;
  }
  return false;
}

}  // namespace

const std::vector<Game>& Games() {
  static const std::vector<Game> games = MakeGames();
  return games;
}

const Game* FindGame(std::string_view id) {
  for (const Game& game : Games()) {
    if (game.id == id) return &game;
  }
  return nullptr;
}

const Game* ProposeGame(int32_t highestSeen, const std::vector<std::string>& headingFields) {
  // Every heading word with the games that use it: a word of one game alone says more than
  // "Bonus", which half the games share.
  std::map<std::string, std::vector<const Game*>> users;
  for (const Game& game : Games()) {
    auto add = [&](std::string_view word) {
      auto& list = users[Folded(word)];
      if (std::find(list.begin(), list.end(), &game) == list.end()) list.push_back(&game);
    };
    for (const ExtraBall& extra : game.extras)
      for (std::string_view word : extra.headings) add(word);
    for (std::string_view word : game.headingSigns) add(word);
  }
  std::map<const Game*, double> score;
  for (const auto& entry : users) {
    // Named, not bound: clang 14 lets no lambda capture a structured binding.
    const std::string& word = entry.first;
    const std::vector<const Game*>& games = entry.second;
    const bool named = std::any_of(headingFields.begin(), headingFields.end(),
                                   [&](const std::string& f) { return Names(Folded(f), word); });
    if (!named) continue;
    for (const Game* game : games) score[game] += 1.0 / static_cast<double>(games.size());
  }
  const Game* best = nullptr;
  double bestScore = 0;
  for (const Game& game : Games()) {
    const auto it = score.find(&game);
    if (it == score.end() || game.highest < highestSeen) continue;
    // Between equal headings, the M nearer the numbers read wins.
    const bool nearer =
        best && it->second == bestScore && game.highest - highestSeen < best->highest - highestSeen;
    if (it->second > bestScore || nearer) {
      best = &game;
      bestScore = it->second;
    }
  }
  if (best) return best;
  for (const Game& game : Games()) {
    if (game.highest == highestSeen) return &game;
  }
  return nullptr;
}

const Game* GameForHighest(int32_t highest, std::string_view preferred) {
  if (const Game* game = FindGame(preferred); game && game->highest == highest) return game;
  for (const Game& game : Games()) {
    if (game.highest == highest) return &game;
  }
  return nullptr;
}

std::string GameName(const Game* game, int32_t highest, int32_t language) {
  if (!game) return Format(TextId::TxtGamePlain, language, {std::to_string(highest)});
  return std::string(language == ToValue(Language::Russian) ? game->russian : game->english);
}

std::string DrawDaysText(uint8_t days, int32_t language) {
  if ((days & kEveryDay) == kEveryDay) return Text(TextId::TxtGameEveryDay, language);
  const std::string_view all = Text(TextId::TxtGameWeekdays, language);
  std::string out;
  std::size_t from = 0;
  for (int day = 0; day < 7; ++day) {
    const std::size_t bar = all.find('|', from);
    const std::string_view name =
        all.substr(from, bar == std::string_view::npos ? bar : bar - from);
    from = bar == std::string_view::npos ? all.size() : bar + 1;
    if (!(days & (1 << day))) continue;
    if (!out.empty()) out += ", ";
    out += name;
  }
  return out;
}

}  // namespace tallyra
