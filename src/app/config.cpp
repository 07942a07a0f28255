#include "app/config.h"

#include <fstream>
#include <iterator>

#include "app/run_error.h"
#include "app/text.h"

namespace saldor {

std::vector<std::string> ReadItems(std::string_view text, std::size_t count) {
  std::vector<std::string> items;
  std::size_t pos = 0;
  const std::size_t n = text.size();
  auto isLineEnd = [](char c) { return c == '\r' || c == '\n'; };
  while (items.size() < count) {
    while (pos < n && (text[pos] == ' ' || text[pos] == '\t' || isLineEnd(text[pos]))) ++pos;
    if (pos >= n) break;
    std::string item;
    if (text[pos] == '"') {
      std::size_t close = text.find('"', pos + 1);
      if (close == std::string_view::npos) close = n;
      item.assign(text.substr(pos + 1, close - pos - 1));
      pos = close < n ? close + 1 : n;
      // Whatever follows the closing quote up to the separator belongs to no item.
      while (pos < n && text[pos] != ',' && !isLineEnd(text[pos])) ++pos;
    } else {
      std::size_t end = pos;
      while (end < n && text[end] != ',' && !isLineEnd(text[end])) ++end;
      item.assign(text.substr(pos, end - pos));
      pos = end;
    }
    // Consume one separator: a comma, or a line end (CR LF counts once).
    if (pos < n) {
      const bool crlf = text[pos] == '\r' && pos + 1 < n && text[pos + 1] == '\n';
      pos += crlf ? 2 : 1;
    }
    items.push_back(std::move(item));
  }
  return items;
}

std::string ReadConfig(const std::filesystem::path& programFolder) {
  const std::filesystem::path path = programFolder / "config.txt";
  std::error_code ec;
  if (!std::filesystem::is_regular_file(path, ec)) throw FileNotFoundError(PathText(path));
  std::ifstream file(path, std::ios::binary);
  if (!file) throw FileNotFoundError(PathText(path));
  std::string text;
  try {
    text.assign(std::istreambuf_iterator<char>(file), std::istreambuf_iterator<char>());
  } catch (const std::ios_base::failure& failure) {
    throw FileNotFoundError(PathText(path)).AddContext(failure.what());
  }
  if (file.bad()) throw FileNotFoundError(PathText(path));
  std::vector<std::string> items = ReadItems(text, 3);
  if (items.size() < 3) throw InputPastEndOfFileError(PathText(path));
  return items[2];
}

}  // namespace saldor
