#ifndef SALDOR_IMPORT_ITEM_MATCH_H_
#define SALDOR_IMPORT_ITEM_MATCH_H_

#include <string>
#include <string_view>

#include "app/database.h"

namespace saldor {

// `ItemMatch`: the item values of one order-file row, all as text. Either the values of the
// active vendor item mapped to the row's partner part number, or those of the placeholder item.
struct ItemMatch {
  std::string itemId;
  std::string name;
  std::string category;
  std::string weight;
  std::string vendorPartNumber;
  std::string description;  // always the whole partner part number
  std::string landedCost;
  std::string yardsPerRoll;
};

// The item that stands in for a partner part number that no active item is mapped to.
inline constexpr std::string_view kPlaceholderItemId = "3833";
inline constexpr std::string_view kPlaceholderItemName = "Saldor Item Not Found";
inline constexpr std::string_view kPlaceholderCategory = "OTHER";

// The lookup of the active items mapped to the part-number pieces 1 and 2 ("?" markers, in
// that order), for any customer.
Sql ItemMatchSql();

// `MatchItem` for every row of one import: the lookup is prepared once and re-run per row.
// Reads the database only. Not copyable; must not outlive `db`.
class ItemMatcher {
 public:
  explicit ItemMatcher(Database& db);
  ItemMatcher(const ItemMatcher&) = delete;
  ItemMatcher& operator=(const ItemMatcher&) = delete;

  // Resolves `customerPartNo` (the cleaned column 21): piece 1 is the text before the first ".",
  // piece 2 the text between the first and the second "." (or up to the end). When both pieces
  // match a mapping of an active item, the first item found gives the values; a null Name,
  // Category or VendorPartNumber reads as "", a null Weight, LandedCost or YardsPerRoll as "0".
  // A part number without "." (also the empty one) or with no active mapped item gives the
  // placeholder, whose vendor part number is `vendorPartText` (column 19) with every "*" turned
  // into a blank. The description is `customerPartNo` in both cases. A database failure raises
  // the driver's error.
  ItemMatch MatchItem(std::string_view customerPartNo, std::string_view vendorPartText);

 private:
  Statement lookup_;
};

}  // namespace saldor

#endif  // SALDOR_IMPORT_ITEM_MATCH_H_
