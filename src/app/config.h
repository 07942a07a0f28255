#ifndef SALDOR_APP_CONFIG_H_
#define SALDOR_APP_CONFIG_H_

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

namespace saldor {

// Reads up to `count` items of free-format sequential input from `text`: items are separated by
// commas or line ends (CR, LF or CR LF); blanks, tabs and line ends before an item are skipped; an
// unquoted item runs to the next comma or line end, blanks included; an item that begins
// with a double quote runs to the next double quote, keeps the commas inside and loses the quotes.
// Gives fewer than `count` items when the text ends first.
std::vector<std::string> ReadItems(std::string_view text, std::size_t count);

// `ReadConfig`: reads config.txt in `programFolder` and gives the connection-string prefix, its
// third item (the first two are read and discarded), as it stands. A missing or unreadable file
// (a folder of that name, say) raises error 53
// "File not found"; fewer than three items error 62 "Input past end of file".
std::string ReadConfig(const std::filesystem::path& programFolder);

}  // namespace saldor

#endif  // SALDOR_APP_CONFIG_H_
