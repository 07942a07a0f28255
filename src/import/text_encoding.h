#ifndef SALDOR_IMPORT_TEXT_ENCODING_H_
#define SALDOR_IMPORT_TEXT_ENCODING_H_

#include <string>
#include <string_view>

namespace saldor {

// True when `bytes` is well-formed UTF-8: no stray continuation bytes, no overlong forms, no
// surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view bytes);

// The text of a file as UTF-8. A leading UTF-8 byte-order mark is dropped. Bytes that are valid
// UTF-8 are kept as they are; any other file is read as Windows-1252 and converted, so the
// result is always valid UTF-8 (the five bytes that Windows-1252 leaves unassigned become the
// control characters of the same number, as Windows converts them).
std::string DecodeFileText(std::string_view bytes);

}  // namespace saldor

#endif  // SALDOR_IMPORT_TEXT_ENCODING_H_
