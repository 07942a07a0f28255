#ifndef SALDOR_IMPORT_TEXT_ENCODING_H_
#define SALDOR_IMPORT_TEXT_ENCODING_H_

#include <string>
#include <string_view>

namespace saldor {

// True when `bytes` is well-formed UTF-8: no stray continuation bytes, no overlong forms, no
// surrogates, nothing above U+10FFFF.
bool IsValidUtf8(std::string_view bytes);

// The text of the file `fileName` as UTF-8, from its bytes.
//
// A file that starts with a UTF-16 byte-order mark (FF FE little-endian, FE FF big-endian, as
// Windows PowerShell writes) is UTF-16 in that byte order, surrogate pairs included; an odd
// number of bytes or a surrogate without its partner raises RunError 321 (Invalid file format)
// naming `fileName` and the byte offset. Otherwise a leading UTF-8 byte-order mark is dropped;
// bytes that are valid UTF-8 are kept as they are, and any other file is read as Windows-1252 and
// converted (the five bytes that Windows-1252 leaves unassigned become the control characters of
// the same number, as Windows converts them). The result is always valid UTF-8.
std::string DecodeFileText(std::string_view bytes, const std::string& fileName);

}  // namespace saldor

#endif  // SALDOR_IMPORT_TEXT_ENCODING_H_
