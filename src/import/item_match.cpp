#include "import/item_match.h"

#include <optional>
#include <vector>

namespace saldor {
namespace {

// Pieces 1 and 2 of a partner part number; none when it holds no ".".
std::optional<std::pair<std::string, std::string>> SplitPartNumber(std::string_view partNo) {
  const std::size_t dot = partNo.find('.');
  if (dot == std::string_view::npos) return std::nullopt;
  std::string_view rest = partNo.substr(dot + 1);
  return std::pair{std::string(partNo.substr(0, dot)), std::string(rest.substr(0, rest.find('.')))};
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
  match.placeholder = true;
  return match;
}

// The item values of row `row` of a lookup's result; the description is set per row later.
ItemMatch ItemValues(const ResultSet& items, std::size_t row) {
  ItemMatch match;
  match.itemId = items.Get(row, "ID").AsText("Item.ID");
  match.name = items.Get(row, "Name").TextOr("");
  match.category = items.Get(row, "Category").TextOr("");
  match.weight = items.Get(row, "Weight").TextOr("0");
  match.vendorPartNumber = items.Get(row, "VendorPartNumber").TextOr("");
  match.landedCost = items.Get(row, "LandedCost").TextOr("0");
  match.yardsPerRoll = items.Get(row, "YardsPerRoll").TextOr("0");
  return match;
}

}  // namespace

Sql ItemMatchSql(std::size_t pairs) {
  std::string values;
  for (std::size_t i = 0; i < pairs; ++i) values += i == 0 ? "(?,?,?)" : ",(?,?,?)";
  const std::string match =
      " JOIN ItemCustomerPartNumber ON ItemCustomerPartNumber.CustomerPartNumber1=Pairs.Part1"
      " AND ItemCustomerPartNumber.CustomerPartNumber2=Pairs.Part2"
      " JOIN Item ON Item.ID=ItemCustomerPartNumber.ItemID WHERE ";
  const std::string order = " ORDER BY Pairs.N,ItemCustomerPartNumber.ID";
  return Sql{"SELECT Pairs.N AS PairNumber,Item.* FROM (VALUES " + values +
                 ") AS Pairs (N,Part1,Part2)" + match + "ISNULL(Item.Inactive,0)=0" + order,
             "WITH Pairs (N,Part1,Part2) AS (VALUES " + values +
                 ") SELECT Pairs.N AS PairNumber,Item.* FROM Pairs" + match +
                 "IFNULL(Item.Inactive,0)=0" + order};
}

ItemMatcher::ItemMatcher(Database& db, std::span<const std::string_view> partNumbers) {
  std::vector<Pieces> pairs;
  {
    std::map<Pieces, bool> seen;
    for (std::string_view partNo : partNumbers) {
      std::optional<Pieces> pieces = SplitPartNumber(partNo);
      if (pieces && seen.emplace(*pieces, true).second) pairs.push_back(std::move(*pieces));
    }
  }
  const std::size_t perQuery = kMaxStatementParameters / 3;
  std::vector<Param> params;
  for (std::size_t first = 0; first < pairs.size(); first += perQuery) {
    const std::size_t count = std::min(perQuery, pairs.size() - first);
    params.clear();
    for (std::size_t i = first; i < first + count; ++i) {
      params.emplace_back(static_cast<std::int64_t>(i));
      params.emplace_back(pairs[i].first);
      params.emplace_back(pairs[i].second);
    }
    const ResultSet items = db.Query(ItemMatchSql(count), params);
    const std::size_t pairNumber = items.ColumnIndex("PairNumber");
    for (std::size_t row = 0; row < items.size(); ++row) {
      const auto i = static_cast<std::size_t>(items.At(row, pairNumber).AsNumber("PairNumber"));
      if (i < pairs.size() && !found_.contains(pairs[i]))
        found_.emplace(pairs[i], ItemValues(items, row));
    }
  }
}

ItemMatch ItemMatcher::MatchItem(std::string_view customerPartNo,
                                 std::string_view vendorPartText) const {
  const std::optional<Pieces> pieces = SplitPartNumber(customerPartNo);
  const auto found = pieces ? found_.find(*pieces) : found_.end();
  if (found == found_.end()) return Placeholder(customerPartNo, vendorPartText);
  ItemMatch match = found->second;
  match.description = customerPartNo;
  return match;
}

}  // namespace saldor
