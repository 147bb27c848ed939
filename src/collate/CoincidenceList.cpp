#include "collate/CoincidenceList.h"

#include <algorithm>

namespace tallyra {

int64_t CoincidenceList::Piece::length() const {
  return run ? run->offsets.back() : static_cast<int64_t>(text.size());
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
  if (run.offsets.empty() || run.offsets.back() == 0) return;
  Piece piece;
  piece.start = m_length;
  piece.run = std::make_shared<const Run>(std::move(run));
  m_length += piece.length();
  m_pieces.push_back(std::move(piece));
}

std::string CoincidenceList::slice(int64_t offset, int64_t count) const {
  std::string out;
  if (offset < 0) offset = 0;
  const int64_t end = std::min(m_length, offset + std::max<int64_t>(count, 0));
  if (offset >= end) return out;
  out.reserve(static_cast<std::size_t>(end - offset));
  // The first piece that reaches past `offset`.
  auto piece = std::upper_bound(m_pieces.begin(), m_pieces.end(), offset,
                                [](int64_t at, const Piece& p) { return at < p.start; });
  if (piece != m_pieces.begin()) --piece;
  std::string row;
  for (int64_t at = offset; at < end && piece != m_pieces.end(); ++piece) {
    const int64_t from = at - piece->start;
    const int64_t to = std::min(piece->length(), end - piece->start);
    if (!piece->run) {
      out.append(piece->text, static_cast<std::size_t>(from), static_cast<std::size_t>(to - from));
      at = piece->start + to;
      continue;
    }
    const auto& offsets = piece->run->offsets;
    // The row holding `from`: the last row that starts at or before it.
    int r =
        static_cast<int>(std::upper_bound(offsets.begin(), offsets.end(), from) - offsets.begin()) -
        1;
    int64_t pos = from;
    while (pos < to) {
      while (offsets[static_cast<std::size_t>(r) + 1] <= pos) ++r;  // skip rows without entries
      row.clear();
      piece->run->entries(r + 1, row);
      const int64_t rowStart = offsets[static_cast<std::size_t>(r)];
      const int64_t take = std::min<int64_t>(to, offsets[static_cast<std::size_t>(r) + 1]) - pos;
      out.append(row, static_cast<std::size_t>(pos - rowStart), static_cast<std::size_t>(take));
      pos += take;
      ++r;
    }
    at = piece->start + to;
  }
  return out;
}

bool CoincidenceList::forEachChunk(int64_t chunk,
                                   const std::function<bool(const std::string&)>& sink) const {
  for (int64_t at = 0; at < m_length; at += chunk) {
    if (!sink(slice(at, chunk))) return false;
  }
  return true;
}

}  // namespace tallyra
