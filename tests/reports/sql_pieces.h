#ifndef SALDOR_TESTS_REPORTS_SQL_PIECES_H_
#define SALDOR_TESTS_REPORTS_SQL_PIECES_H_

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace saldor::testing {

// Checks that `text` is exactly `pieces` joined with nothing between them, naming the first piece
// that does not match.
inline void ExpectPieces(const std::string& text, const std::vector<std::string>& pieces) {
  std::size_t at = 0;
  for (std::size_t i = 0; i < pieces.size(); ++i) {
    ASSERT_EQ(text.substr(at, pieces[i].size()), pieces[i]) << "piece " << i + 1;
    at += pieces[i].size();
  }
  EXPECT_EQ(at, text.size()) << "text after the last piece: " << text.substr(at);
}

}  // namespace saldor::testing

#endif  // SALDOR_TESTS_REPORTS_SQL_PIECES_H_
