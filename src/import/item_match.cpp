#include "import/item_match.h"

#include <array>
#include <optional>
#include <utility>

namespace saldor {
namespace {

struct PartPieces {
  std::string first;
  std::string second;
};

// Pieces 1 and 2 of a partner part number; none when it holds no ".".
std::optional<PartPieces> SplitPartNumber(std::string_view partNo) {
  const std::size_t dot = partNo.find('.');
  if (dot == std::string_view::npos) return std::nullopt;
  std::string_view rest = partNo.substr(dot + 1);
  return PartPieces{std::string(partNo.substr(0, dot)),
                    std::string(rest.substr(0, rest.find('.')))};
}

ItemMatch Placeholder(std::string_view customerPartNo, std::string_view vendorPartText) {
  ItemMatch match;
  match.itemId = kPlaceholderItemId;
  match.name = kPlaceholderItemName;
  match.category = kPlaceholderCategory;
  match.weight = "0";
  match.vendorPartNumber = vendorPartText;
  for (char& c : match.vendorPartNumber) {
    if (c == '*') c = ' ';
  }
  match.description = customerPartNo;
  match.landedCost = "0";
  match.yardsPerRoll = "0";
  return match;
}

}  // namespace

Sql ItemMatchSql() {
  const std::string select =
      "SELECT Item.* FROM Item LEFT JOIN ItemCustomerPartNumber ON "
      "Item.ID=ItemCustomerPartNumber.ItemID WHERE ";
  const std::string match =
      " AND ItemCustomerPartNumber.CustomerPartNumber1=? AND "
      "ItemCustomerPartNumber.CustomerPartNumber2=?";
  return Sql{select + "ISNULL(Item.Inactive,0)=0" + match,
             select + "IFNULL(Item.Inactive,0)=0" + match + " LIMIT 1"};
}

ItemMatcher::ItemMatcher(Database& db) : lookup_(db.Prepare(ItemMatchSql())) {}

ItemMatch ItemMatcher::MatchItem(std::string_view customerPartNo, std::string_view vendorPartText) {
  std::optional<PartPieces> pieces = SplitPartNumber(customerPartNo);
  if (!pieces) return Placeholder(customerPartNo, vendorPartText);
  const std::array<Param, 2> params = {std::move(pieces->first), std::move(pieces->second)};
  const ResultSet items = lookup_.Query(params);
  if (items.empty()) return Placeholder(customerPartNo, vendorPartText);
  ItemMatch match;
  match.itemId = items.Get(0, "ID").AsText("Item.ID");
  match.name = items.Get(0, "Name").TextOr("");
  match.category = items.Get(0, "Category").TextOr("");
  match.weight = items.Get(0, "Weight").TextOr("0");
  match.vendorPartNumber = items.Get(0, "VendorPartNumber").TextOr("");
  match.description = customerPartNo;
  match.landedCost = items.Get(0, "LandedCost").TextOr("0");
  match.yardsPerRoll = items.Get(0, "YardsPerRoll").TextOr("0");
  return match;
}

}  // namespace saldor
