#ifndef SALDOR_APP_TEXT_H_
#define SALDOR_APP_TEXT_H_

// Small text conversions shared by several parts of the program.

#include <filesystem>
#include <string>

namespace saldor {

// Appends the code point `cp` (at most U+10FFFF) to `out` as UTF-8.
void AppendUtf8(std::string& out, char32_t cp);

// `path` as UTF-8 text, whatever the platform's own narrow encoding of paths.
std::string PathText(const std::filesystem::path& path);

}  // namespace saldor

#endif  // SALDOR_APP_TEXT_H_
