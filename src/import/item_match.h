#ifndef SALDOR_IMPORT_ITEM_MATCH_H_
#define SALDOR_IMPORT_ITEM_MATCH_H_

#include <cstddef>
#include <map>
#include <span>
#include <string>
#include <string_view>
#include <utility>

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
  bool placeholder = false;  // no active item is mapped to the part number
};

// The item that stands in for a partner part number that no active item is mapped to.
inline constexpr std::string_view kPlaceholderItemId = "3833";
inline constexpr std::string_view kPlaceholderItemName = "Saldor Item Not Found";
inline constexpr std::string_view kPlaceholderCategory = "OTHER";

// The lookup of the active items mapped, for any customer, to each of `pairs` pairs of
// part-number pieces, given as "?" markers: number, piece 1, piece 2 for each pair. Gives the
// pair's number as PairNumber and every column of Item; the rows of one pair in the order of
// their mappings.
Sql ItemMatchSql(std::size_t pairs);

// `MatchItem` for every row of one import. The part numbers of the whole file are looked up
// together beforehand, each distinct pair of pieces once. Not copyable.
class ItemMatcher {
 public:
  // Looks up the pairs of pieces of `partNumbers` (cleaned column 21 texts; those without "."
  // have none), as many pairs per query as a statement's parameters allow. Reads the database
  // only; a failure raises the driver's error.
  ItemMatcher(Database& db, std::span<const std::string_view> partNumbers);
  ItemMatcher(const ItemMatcher&) = delete;
  ItemMatcher& operator=(const ItemMatcher&) = delete;

  // Resolves `customerPartNo` (the cleaned column 21, one of those looked up): piece 1 is the
  // text before the first ".", piece 2 the text between the first and the second "." (or up to
  // the end). When both pieces match a mapping of an active item, the first item found gives
  // the values; a null Name, Category or VendorPartNumber reads as "", a null Weight,
  // LandedCost or YardsPerRoll as "0". A part number without "." (also the empty one) or with no
  // active mapped item gives the placeholder, whose vendor part number is `vendorPartText`
  // (column 19) with every "*" turned into a blank. The description is `customerPartNo` in both
  // cases.
  ItemMatch MatchItem(std::string_view customerPartNo, std::string_view vendorPartText) const;

 private:
  using Pieces = std::pair<std::string, std::string>;
  std::map<Pieces, ItemMatch> found_;  // the first item of each pair that has one
};

}  // namespace saldor

#endif  // SALDOR_IMPORT_ITEM_MATCH_H_
