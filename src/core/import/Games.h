#pragma once

// The "6 of M" games players keep histories of: what each is called, its M, the extra balls
// drawn beside the six and what published files call them, and its draw days. The importer's
// findings (the largest number read, the heading) pick the game a file most likely belongs to.

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tallyra {

// Draw days, one bit a weekday, Monday first.
enum Weekday : uint8_t {
  kMonday = 1 << 0,
  kTuesday = 1 << 1,
  kWednesday = 1 << 2,
  kThursday = 1 << 3,
  kFriday = 1 << 4,
  kSaturday = 1 << 5,
  kSunday = 1 << 6,
};

// A ball drawn beside the six main numbers.
struct ExtraBall {
  std::string_view english;  // what it is, e.g. "bonus ball"
  std::string_view russian;
  // From the same drum as the six (so within 1..M and never one of them), or a drum of its own.
  bool sameDrum = true;
  int32_t low = 0, high = 0;  // its range when it has a drum of its own
  // How published results files head its column, as they spell it.
  std::vector<std::string_view> headings;
};

struct Game {
  std::string_view id;  // for the command line: "uk-lotto"
  std::string_view english;
  std::string_view russian;
  int32_t highest = 49;  // M
  std::vector<ExtraBall> extras;
  uint8_t drawDays = 0;  // Weekday bits; 0x7f for every day
  // Other heading words seen only in this game's files (its own columns, its language).
  std::vector<std::string_view> headingSigns;
};

// Every game, in a fixed order; ids are unique.
const std::vector<Game>& Games();

// The game of that id, or null.
const Game* FindGame(std::string_view id);

// The game a history most likely comes from: the one whose extra-ball headings and signs the
// heading names best (a name only one game uses counts most) and whose M is not below the
// largest number read; without such a heading, the first game whose M is exactly the largest
// number. Null when nothing points to any game. `highestSeen` 0 means no number was read.
const Game* ProposeGame(int32_t highestSeen, const std::vector<std::string>& headingFields);

// The game for a setting of M: `preferred` when its M is that, else the first game of that M;
// null when no game has it.
const Game* GameForHighest(int32_t highest, std::string_view preferred);

// The game's name in the language (Language::Russian or English), or a plain "6 of M" for none.
std::string GameName(const Game* game, int32_t highest, int32_t language);

// "Wednesday, Saturday" in the language; "every day" for all seven.
std::string DrawDaysText(uint8_t days, int32_t language);

}  // namespace tallyra
