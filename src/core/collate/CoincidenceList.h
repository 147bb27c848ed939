#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <string>
#include <utility>
#include <vector>

namespace tallyra {

// The text of one coincidence list: entries such as "1=4 , " with section headings. A list can
// hold billions of entries, so it is not kept as one string: it is a sequence of pieces, each
// either a short text or a run of rows whose entries are made again when asked for. It knows
// its exact length and gives any slice of its text.
class CoincidenceList {
 public:
  // Where the rows of a run start in its text, made without a pass over every row: each row's
  // length, and where every `block`-th row starts. A row is found by a binary search over the
  // blocks and a walk of at most one block.
  struct RowIndex {
    std::vector<int64_t> lengths;  // row r (from 1) at [r - 1]
    std::vector<int64_t> starts;   // where rows 1, block + 1, 2 * block + 1, ... start; the
                                   // run's length last
    int64_t block = 1;

    int64_t length() const { return starts.empty() ? 0 : starts.back(); }
    // The row (from 0) whose text holds `pos` (0 <= pos < length()), and where it starts.
    std::pair<std::size_t, int64_t> rowAt(int64_t pos) const;
  };
  // A run of rows 1..rows; `entries(row, out)` appends row's entries (1-based) to out.
  struct Run {
    RowIndex index;
    std::function<void(int row, std::string& out)> entries;
  };

  CoincidenceList() = default;
  CoincidenceList(const CoincidenceList&) = delete;
  CoincidenceList& operator=(const CoincidenceList&) = delete;

  void appendText(std::string text);
  void appendRun(Run run);

  int64_t length() const { return m_length; }
  bool empty() const { return m_length == 0; }
  // The text from `offset` on, at most `count` characters.
  std::string slice(int64_t offset, int64_t count) const;
  // Appends the same text to `out`.
  void appendSlice(int64_t offset, int64_t count, std::string& out) const;
  // Calls `sink` in order with consecutive pieces of the whole text, each `chunk` long but the
  // last; stops early when sink returns false, and then returns false. The pieces are made on
  // up to `threads` threads (0: one per processor) ahead of the sink, which runs on the caller's
  // thread; so a slow sink and the making of the text overlap.
  bool forEachChunk(int64_t chunk, const std::function<bool(const std::string&)>& sink,
                    int threads = 0) const;
  // The whole text; only for lists known to be small.
  std::string text() const { return slice(0, m_length); }

 private:
  struct Piece {
    int64_t start = 0;               // offset of the piece within the list
    std::string text;                // a text piece, or
    std::shared_ptr<const Run> run;  // a run of rows
    int64_t length() const;
  };
  // A row's text, made once for the few rows that are read in parts (a viewer moving about
  // within a long row reads it a line at a time).
  struct CachedRow {
    const Run* run = nullptr;
    int row = 0;
    std::shared_ptr<const std::string> text;
  };
  std::shared_ptr<const std::string> rowText(const Piece& piece, int row) const;

  std::vector<Piece> m_pieces;
  int64_t m_length = 0;
  mutable std::mutex m_cacheMutex;
  mutable std::vector<CachedRow> m_cache;  // most recently used last
};

using ListPtr = std::shared_ptr<const CoincidenceList>;

}  // namespace tallyra
