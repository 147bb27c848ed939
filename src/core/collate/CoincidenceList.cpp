#include "collate/CoincidenceList.h"

#include <algorithm>
#include <condition_variable>
#include <mutex>

#include "parallel/ParallelFor.h"

namespace tallyra {

namespace {

// Rows kept whole for reading in parts. The longest row of any list at capacity is a few
// megabytes, so this stays small.
constexpr std::size_t kCachedRows = 8;

}  // namespace

std::pair<std::size_t, int64_t> CoincidenceList::RowIndex::rowAt(int64_t pos) const {
  const auto k = static_cast<std::size_t>(std::upper_bound(starts.begin(), starts.end(), pos) -
                                          starts.begin()) -
                 1;
  auto r = k * static_cast<std::size_t>(block);
  int64_t start = starts[k];
  while (start + lengths[r] <= pos) start += lengths[r++];  // rows before it, or without entries
  return {r, start};
}

int64_t CoincidenceList::Piece::length() const {
  return run ? run->index.length() : static_cast<int64_t>(text.size());
}

void CoincidenceList::appendText(std::string text) {
  if (text.empty()) return;
  // Texts next to each other are kept as one piece.
  if (!m_pieces.empty() && !m_pieces.back().run) {
    m_pieces.back().text += text;
  } else {
    Piece piece;
    piece.start = m_length;
    piece.text = std::move(text);
    m_pieces.push_back(std::move(piece));
  }
  m_length = m_pieces.back().start + m_pieces.back().length();
}

void CoincidenceList::appendRun(Run run) {
  if (run.index.length() == 0) return;
  Piece piece;
  piece.start = m_length;
  piece.run = std::make_shared<const Run>(std::move(run));
  m_length += piece.length();
  m_pieces.push_back(std::move(piece));
}

std::shared_ptr<const std::string> CoincidenceList::rowText(const Piece& piece, int row) const {
  const Run* run = piece.run.get();
  {
    const std::lock_guard<std::mutex> lock(m_cacheMutex);
    for (auto it = m_cache.begin(); it != m_cache.end(); ++it) {
      if (it->run == run && it->row == row) {
        CachedRow hit = *it;
        m_cache.erase(it);
        m_cache.push_back(hit);
        return hit.text;
      }
    }
  }
  auto text = std::make_shared<std::string>();
  text->reserve(static_cast<std::size_t>(run->index.lengths[static_cast<std::size_t>(row) - 1]));
  run->entries(row, *text);
  const std::lock_guard<std::mutex> lock(m_cacheMutex);
  if (m_cache.size() >= kCachedRows) m_cache.erase(m_cache.begin());
  m_cache.push_back({run, row, text});
  return text;
}

std::string CoincidenceList::slice(int64_t offset, int64_t count) const {
  std::string out;
  appendSlice(offset, count, out);
  return out;
}

void CoincidenceList::appendSlice(int64_t offset, int64_t count, std::string& out) const {
  if (offset < 0) offset = 0;
  const int64_t end = std::min(m_length, offset + std::max<int64_t>(count, 0));
  if (offset >= end) return;
  out.reserve(out.size() + static_cast<std::size_t>(end - offset));
  // The first piece that reaches past `offset`.
  auto piece = std::upper_bound(m_pieces.begin(), m_pieces.end(), offset,
                                [](int64_t at, const Piece& p) { return at < p.start; });
  if (piece != m_pieces.begin()) --piece;
  for (int64_t at = offset; at < end && piece != m_pieces.end(); ++piece) {
    const int64_t from = at - piece->start;
    const int64_t to = std::min(piece->length(), end - piece->start);
    if (!piece->run) {
      out.append(piece->text, static_cast<std::size_t>(from), static_cast<std::size_t>(to - from));
      at = piece->start + to;
      continue;
    }
    const RowIndex& index = piece->run->index;
    // The row holding `from`, then row after row.
    auto [r, rowStart] = index.rowAt(from);
    int64_t pos = from;
    while (pos < to) {
      while (index.lengths[r] == 0) ++r;  // rows without entries
      const int64_t rowEnd = rowStart + index.lengths[r];
      if (pos == rowStart && rowEnd <= to) {
        // A whole row is made straight into the output.
        piece->run->entries(static_cast<int>(r) + 1, out);
        pos = rowEnd;
      } else {
        const int64_t take = std::min(to, rowEnd) - pos;
        const auto text = rowText(*piece, static_cast<int>(r) + 1);
        out.append(*text, static_cast<std::size_t>(pos - rowStart), static_cast<std::size_t>(take));
        pos += take;
      }
      rowStart = rowEnd;
      ++r;
    }
    at = piece->start + to;
  }
}

bool CoincidenceList::forEachChunk(int64_t chunk,
                                   const std::function<bool(const std::string&)>& sink,
                                   int threads) const {
  if (chunk <= 0) chunk = int64_t{1} << 22;
  const int64_t chunks = (m_length + chunk - 1) / chunk;
  const int makers = static_cast<int>(std::min<int64_t>(ParallelThreads(threads), chunks - 1));
  if (makers <= 0) {
    std::string piece;
    for (int64_t k = 0; k < chunks; ++k) {
      piece.clear();
      appendSlice(k * chunk, chunk, piece);
      if (!sink(piece)) return false;
    }
    return true;
  }

  // A ring of slots: chunk k goes to slot k % slots, and is made only once the sink is done
  // with chunk k - slots. Makers take chunks in order, so the sink never waits long.
  const auto slots = static_cast<std::size_t>(makers) + 2;
  struct Slot {
    std::string text;
    int64_t chunk = -1;  // the chunk the text holds, once made
  };
  std::vector<Slot> ring(slots);
  std::mutex mutex;
  std::condition_variable changed;
  int64_t consumed = 0;  // chunks the sink is done with
  bool stop = false;
  std::atomic<bool> halted{false};  // `stop`, for the makers' look before each chunk
  const auto halt = [&] {
    const std::lock_guard<std::mutex> lock(mutex);
    stop = true;
    halted.store(true, std::memory_order_relaxed);
    changed.notify_all();
  };

  const auto make = [&](int64_t k, int64_t, int) {
    {
      std::unique_lock<std::mutex> lock(mutex);
      changed.wait(lock, [&] { return stop || k < consumed + static_cast<int64_t>(slots); });
      if (stop) return;
    }
    Slot& slot = ring[static_cast<std::size_t>(k) % slots];
    try {
      slot.text.clear();
      appendSlice(k * chunk, chunk, slot.text);
    } catch (...) {
      halt();
      throw;
    }
    const std::lock_guard<std::mutex> lock(mutex);
    slot.chunk = k;
    changed.notify_all();
  };

  bool complete = true;
  ParallelForBeside(chunks, ParallelOptions{makers, 1, &halted}, make, [&](ParallelWatch&) {
    try {
      for (int64_t k = 0; k < chunks; ++k) {
        Slot& slot = ring[static_cast<std::size_t>(k) % slots];
        {
          std::unique_lock<std::mutex> lock(mutex);
          changed.wait(lock, [&] { return stop || slot.chunk == k; });
          if (stop) break;
        }
        const bool more = sink(slot.text);
        const std::lock_guard<std::mutex> lock(mutex);
        ++consumed;
        changed.notify_all();
        if (!more) {
          complete = false;
          break;
        }
      }
    } catch (...) {
      halt();
      throw;
    }
    halt();
  });
  return complete;
}

}  // namespace tallyra
