#include "import/text_encoding.h"

#include <cstdint>

#include "app/error_numbers.h"
#include "app/run_error.h"
#include "app/text.h"

namespace saldor {
namespace {

// Windows-1252 bytes 0x80..0x9F; the rest of the code page equals Latin-1.
constexpr char32_t kCp1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

RunError Utf16Error(const std::string& fileName, const std::string& what) {
  return RunError(errors::kInvalidFileFormat, "Invalid file format",
                  {"file: " + fileName, "UTF-16 text (by its byte-order mark): " + what});
}

// `bytes` without its byte-order mark, as UTF-16 in the given byte order.
std::string DecodeUtf16(std::string_view bytes, bool bigEndian, const std::string& fileName) {
  constexpr std::size_t kBomSize = 2;
  if (bytes.size() % 2 != 0) {
    throw Utf16Error(fileName,
                     "an odd number of bytes (" + std::to_string(bytes.size() + kBomSize) + ")");
  }
  auto unit = [&](std::size_t i) -> char32_t {
    const auto first = static_cast<unsigned char>(bytes[i]);
    const auto second = static_cast<unsigned char>(bytes[i + 1]);
    return bigEndian ? (char32_t{first} << 8) | second : (char32_t{second} << 8) | first;
  };
  auto lone = [&](char32_t u, std::size_t i) {
    constexpr char kHex[] = "0123456789ABCDEF";
    std::string code = "U+";
    for (int shift = 12; shift >= 0; shift -= 4) code += kHex[(u >> shift) & 0xF];
    return Utf16Error(fileName,
                      "a lone surrogate " + code + " at byte " + std::to_string(i + kBomSize));
  };
  std::string out;
  out.reserve(bytes.size() / 2 + bytes.size() / 8);
  for (std::size_t i = 0; i < bytes.size(); i += 2) {
    const char32_t u = unit(i);
    if (u >= 0xDC00 && u <= 0xDFFF) throw lone(u, i);
    if (u < 0xD800 || u > 0xDBFF) {
      AppendUtf8(out, u);
      continue;
    }
    const char32_t low = i + 2 < bytes.size() ? unit(i + 2) : 0;
    if (low < 0xDC00 || low > 0xDFFF) throw lone(u, i);
    AppendUtf8(out, 0x10000 + ((u - 0xD800) << 10) + (low - 0xDC00));
    i += 2;
  }
  return out;
}

}  // namespace

bool IsValidUtf8(std::string_view bytes) {
  for (std::size_t i = 0, length = 0; i < bytes.size(); i += length) {
    length = 1;
    if (static_cast<unsigned char>(bytes[i]) < 0x80) continue;  // most of a file: plain ASCII
    if (!DecodeUtf8At(bytes, i, length)) return false;
  }
  return true;
}

std::string DecodeFileText(std::string_view bytes, const std::string& fileName) {
  if (bytes.starts_with("\xFF\xFE")) return DecodeUtf16(bytes.substr(2), false, fileName);
  if (bytes.starts_with("\xFE\xFF")) return DecodeUtf16(bytes.substr(2), true, fileName);
  constexpr std::string_view kBom = "\xEF\xBB\xBF";
  if (bytes.substr(0, kBom.size()) == kBom) bytes.remove_prefix(kBom.size());
  if (IsValidUtf8(bytes)) return std::string(bytes);
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 8);
  for (char byte : bytes) {
    const auto c = static_cast<unsigned char>(byte);
    AppendUtf8(out, c >= 0x80 && c <= 0x9F ? kCp1252High[c - 0x80] : char32_t{c});
  }
  return out;
}

}  // namespace saldor
