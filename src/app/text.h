#ifndef SALDOR_APP_TEXT_H_
#define SALDOR_APP_TEXT_H_

// Small text conversions shared by several parts of the program.

#include <cstddef>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace saldor {

// Appends the code point `cp` (at most U+10FFFF) to `out` as UTF-8.
void AppendUtf8(std::string& out, char32_t cp);

// The code point of the UTF-8 sequence that starts at `text[at]` (requires `at < text.size()`),
// its length in bytes in `length`. Nothing, with `length` 1, when no well-formed sequence starts
// there: a continuation byte, an overlong form, a surrogate, a value beyond U+10FFFF, or a sequence
// cut off by the end of `text`.
std::optional<char32_t> DecodeUtf8At(std::string_view text, std::size_t at, std::size_t& length);

// `utf8` as UTF-16; each byte that starts no well-formed sequence becomes U+FFFD.
std::u16string Utf16FromUtf8(std::string_view utf8);

// `utf16` as UTF-8; a surrogate without its partner becomes U+FFFD.
std::string Utf8FromUtf16(std::u16string_view utf16);

// `path` as UTF-8 text, whatever the platform's own narrow encoding of paths.
std::string PathText(const std::filesystem::path& path);

// The rows `first` to `last` as an error report names them: "row 5", or "rows 5 to 9" for a
// statement that wrote the records of several rows.
std::string RowsText(std::size_t first, std::size_t last);

}  // namespace saldor

#endif  // SALDOR_APP_TEXT_H_
