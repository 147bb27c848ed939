#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace tallyra {

// The text of one coincidence list: entries such as "1=4 , " with section headings. A list can
// hold billions of entries, so it is not kept as one string: it is a sequence of pieces, each
// either a short text or a run of rows whose entries are made again when asked for. It knows
// its exact length and gives any slice of its text.
class CoincidenceList {
 public:
  // A run of rows 1..rows: `offsets[r]` is where row r+1's entries start within the run and
  // offsets[rows] is the run's length; `entries(row, out)` appends row's entries (1-based) to out.
  struct Run {
    std::vector<int64_t> offsets;
    std::function<void(int row, std::string& out)> entries;
  };

  void appendText(std::string text);
  void appendRun(Run run);

  int64_t length() const { return m_length; }
  bool empty() const { return m_length == 0; }
  // The text from `offset` on, at most `count` characters.
  std::string slice(int64_t offset, int64_t count) const;
  // Calls `sink` with consecutive pieces of the whole text, each at most about `chunk` long;
  // stops early when sink returns false.
  bool forEachChunk(int64_t chunk, const std::function<bool(const std::string&)>& sink) const;
  // The whole text; only for lists known to be small.
  std::string text() const { return slice(0, m_length); }

 private:
  struct Piece {
    int64_t start = 0;               // offset of the piece within the list
    std::string text;                // a text piece, or
    std::shared_ptr<const Run> run;  // a run of rows
    int64_t length() const;
  };
  std::vector<Piece> m_pieces;
  int64_t m_length = 0;
};

using ListPtr = std::shared_ptr<const CoincidenceList>;

}  // namespace tallyra
