// The ODBC side of the database layer: the only file that includes the ODBC headers, and the only
// place where text crosses the ODBC boundary. Statement texts and names: UTF-8 on Linux (the
// narrow functions), UTF-16 on Windows (the wide functions, through wide_text.h). Text values
// (parameters and fields): UTF-16 with SQL Server on every platform, the platform's own form
// with SQLite. The SQLite ODBC driver's peculiarities are worked around here too, each under its
// own name.
#include "app/database.h"

#ifdef _WIN32
#include <windows.h>
#endif
#include <sql.h>
#include <sqlext.h>

#include <algorithm>
#include <cctype>
#include <cstring>
#include <optional>
#include <vector>

#include "app/error_numbers.h"
#include "app/run_error.h"
#include "app/text.h"
#include "app/time_limit.h"
#ifdef _WIN32
#include "app/wide_text.h"
#endif

namespace saldor {
namespace {

// ---- text at the ODBC boundary ------------------------------------------------------------

#if defined(_WIN32) && defined(UNICODE)
using OdbcChar = SQLWCHAR;
static_assert(sizeof(SQLWCHAR) == sizeof(wchar_t), "the wide ODBC functions take UTF-16");

std::basic_string<OdbcChar> ToOdbc(std::string_view utf8) {
  const std::wstring wide = Wide(std::string(utf8));
  return std::basic_string<OdbcChar>(reinterpret_cast<const OdbcChar*>(wide.data()), wide.size());
}

std::string FromOdbc(const OdbcChar* text, std::size_t units) {
  return Narrow(std::wstring_view(reinterpret_cast<const wchar_t*>(text), units));
}
#else
using OdbcChar = SQLCHAR;

std::basic_string<OdbcChar> ToOdbc(std::string_view utf8) {
  return std::basic_string<OdbcChar>(reinterpret_cast<const OdbcChar*>(utf8.data()), utf8.size());
}

std::string FromOdbc(const OdbcChar* text, std::size_t units) {
  return std::string(reinterpret_cast<const char*>(text), units);
}
#endif

std::string FromOdbc(const OdbcChar* text) {
  std::size_t n = 0;
  while (text[n] != 0) ++n;
  return FromOdbc(text, n);
}

// ---- text values --------------------------------------------------------------------------

// Text values go to SQL Server and come back as UTF-16 whatever the platform. Narrow text would
// pass through the character set the driver assumes for the client (FreeTDS takes ISO-8859-1
// when neither the locale nor ClientCharset says otherwise: "Café" arrived as "CafÃ©"), and a
// varchar parameter holds only the server's code page (error 2402 for "✓"). SQLite takes the
// platform's own text, as the statement texts do.

static_assert(sizeof(SQLWCHAR) == sizeof(char16_t), "wide ODBC text is UTF-16");

// How a statement's text values cross the boundary: the C type and SQL types they are bound
// as, and the size of one unit.
struct ValueText {
  bool wide = false;
  SQLSMALLINT cType = SQL_C_CHAR;
  SQLSMALLINT sqlType = SQL_VARCHAR;
  SQLSMALLINT sqlLongType = SQL_LONGVARCHAR;
  std::size_t unit = 1;

  // `utf8` as the bytes of its units.
  std::string Encode(std::string_view utf8) const {
    if (!wide) return std::string(utf8);
    const std::u16string units = Utf16FromUtf8(utf8);
    return std::string(reinterpret_cast<const char*>(units.data()), units.size() * unit);
  }

  // `bytes` (whole units) as UTF-8.
  std::string Decode(const unsigned char* bytes, std::size_t size) const {
    if (!wide) return std::string(reinterpret_cast<const char*>(bytes), size);
    std::u16string units(size / unit, u'\0');
    std::memcpy(units.data(), bytes, units.size() * unit);
    return Utf8FromUtf16(units);
  }
};

ValueText ValueTextFor(Dialect dialect) {
#if defined(_WIN32) && defined(UNICODE)
  const bool wide = true;  // the SQLite driver takes wide text on Windows as well
  (void)dialect;
#else
  const bool wide = dialect == Dialect::kSqlServer;
#endif
  if (!wide) return ValueText{};
  return ValueText{true, SQL_C_WCHAR, SQL_WVARCHAR, SQL_WLONGVARCHAR, sizeof(SQLWCHAR)};
}

// The longest text bound as a plain (comparable) text type; SQL Server's nvarchar limit.
constexpr std::size_t kMaxShortText = 4000;

bool Ok(SQLRETURN rc) { return rc == SQL_SUCCESS || rc == SQL_SUCCESS_WITH_INFO; }

std::string Shorten(const std::string& sql) {
  constexpr std::size_t kMax = 400;
  return sql.size() <= kMax ? sql : sql.substr(0, kMax) + " ...";
}

// The driver's diagnostics as one error: the first record's native error (unless it is a number
// the program names for something else) and message, its SQLSTATE and every further record as
// context.
RunError OdbcError(SQLSMALLINT handleType, SQLHANDLE handle, const std::string& operation,
                   const std::string& sql = {}) {
  int number = errors::kUnspecifiedDatabaseError;
  std::string description;
  std::vector<std::string> context;
  for (SQLSMALLINT rec = 1; handle != SQL_NULL_HANDLE; ++rec) {
    OdbcChar state[6] = {};
    OdbcChar message[1024] = {};
    SQLINTEGER native = 0;
    SQLSMALLINT length = 0;
    SQLRETURN rc =
        SQLGetDiagRec(handleType, handle, rec, state, &native, message,
                      static_cast<SQLSMALLINT>(sizeof message / sizeof message[0]), &length);
    if (!Ok(rc)) break;
    std::string text = FromOdbc(message);
    if (rec == 1) {
      const int nativeNumber = static_cast<int>(native);
      if (nativeNumber != 0 && !errors::IsNamedNumber(nativeNumber)) number = nativeNumber;
      // A time limit that ran out: the login timeout (HYT00 at connect time), the statement
      // timeout (HYT00) or the connection timeout (HYT01).
      const std::string sqlState = FromOdbc(state);
      if (sqlState == "HYT00" || sqlState == "HYT01") number = errors::kDatabaseTimeout;
      description = text;
      context.push_back("SQLSTATE " + FromOdbc(state) + ", native error " + std::to_string(native));
    } else {
      context.push_back("SQLSTATE " + FromOdbc(state) + ": " + text);
    }
  }
  if (description.empty()) description = "The database driver reported a failure";
  context.push_back("while: " + operation);
  if (!sql.empty()) context.push_back("statement: " + Shorten(sql));
  return RunError(number, description, std::move(context));
}

// ---- SQLite ODBC driver workarounds -------------------------------------------------------

// Statements compiled once: the SQLite ODBC driver compiles a statement that begins with INSERT,
// UPDATE or DELETE anew on every execution, while one that begins with WITH is compiled once and
// re-executed. An empty WITH clause in front changes nothing of the meaning and makes re-executed
// writes several times faster.
std::string SqliteCompiledOnce(const std::string& text) {
  std::size_t start = text.find_first_not_of(" \t\r\n");
  if (start == std::string::npos) return text;
  std::string head = text.substr(start, 7);
  for (char& c : head) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
  if (head.rfind("INSERT ", 0) == 0 || head.rfind("UPDATE ", 0) == 0 ||
      head.rfind("DELETE ", 0) == 0) {
    return "WITH Reuse AS (SELECT 1) " + text;
  }
  return text;
}

// Numbers read as text: SQLite types values, not columns, and the type the driver reports for a
// column comes from its declaration or its first row and may not fit a later row (12.5 in an
// INTEGER column, or an expression whose first value was a whole number). A number column is
// therefore read there as the driver's text, and the value takes the type its text shows.
bool SqliteReadsAsText(SQLSMALLINT type) {
  switch (type) {
    case SQL_BIT:
    case SQL_TINYINT:
    case SQL_SMALLINT:
    case SQL_INTEGER:
    case SQL_BIGINT:
    case SQL_REAL:
    case SQL_FLOAT:
    case SQL_DOUBLE:
    case SQL_NUMERIC:
    case SQL_DECIMAL:
      return true;
    default:
      return false;
  }
}

}  // namespace

// ---- time limits ---------------------------------------------------------------------------

namespace {

// ODBC passes integer attributes in the pointer argument.
SQLPOINTER IntegerAttribute(int value) {
  return reinterpret_cast<SQLPOINTER>(  // NOLINT(performance-no-int-to-ptr)
      static_cast<SQLULEN>(value));
}

// Sets an integer connection attribute of `seconds`; whether the driver took it is not asked.
void SetConnectionSeconds(SQLHDBC dbc, SQLINTEGER attribute, int seconds) {
  SQLSetConnectAttr(dbc, attribute, IntegerAttribute(seconds), 0);
}

// Gives statement `stmt` the time limit `seconds`. Raises RunError when the driver refuses it.
void SetStatementTimeout(SQLHSTMT stmt, int seconds) {
  if (!Ok(SQLSetStmtAttr(stmt, SQL_ATTR_QUERY_TIMEOUT, IntegerAttribute(seconds), 0))) {
    throw OdbcError(SQL_HANDLE_STMT, stmt, "setting the statement's time limit");
  }
}

// The column of the new key in the result of an insert built by InsertReturningKeySql.
constexpr std::string_view kNewKeyColumn = "ID";

bool SameColumnName(std::string_view a, std::string_view b) {
  return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
           return std::tolower(static_cast<unsigned char>(x)) ==
                  std::tolower(static_cast<unsigned char>(y));
         });
}

}  // namespace

// ---- Connection ---------------------------------------------------------------------------

class Connection {
 public:
  Connection() {
    if (!Ok(SQLAllocHandle(SQL_HANDLE_ENV, SQL_NULL_HANDLE, &env_))) {
      throw RunError(errors::kUnspecifiedDatabaseError, "Cannot start the ODBC driver manager");
    }
    if (!Ok(SQLSetEnvAttr(env_, SQL_ATTR_ODBC_VERSION, reinterpret_cast<SQLPOINTER>(SQL_OV_ODBC3),
                          0))) {
      throw OdbcError(SQL_HANDLE_ENV, env_, "asking for ODBC 3");
    }
    if (!Ok(SQLAllocHandle(SQL_HANDLE_DBC, env_, &dbc_))) {
      throw OdbcError(SQL_HANDLE_ENV, env_, "allocating the connection");
    }
  }
  Connection(const Connection&) = delete;
  Connection& operator=(const Connection&) = delete;
  // What is left to free at the end cannot fail in a way that matters any more.
  ~Connection() {
    if (connected_) SQLDisconnect(dbc_);
    if (dbc_ != SQL_NULL_HDBC) SQLFreeHandle(SQL_HANDLE_DBC, dbc_);
    if (env_ != SQL_NULL_HENV) SQLFreeHandle(SQL_HANDLE_ENV, env_);
  }

  // Ends the connection; raises RunError when the driver refuses (a transaction still open).
  void Disconnect() {
    if (!connected_) return;
    if (!Ok(SQLDisconnect(dbc_))) throw OdbcError(SQL_HANDLE_DBC, dbc_, "closing the database");
    connected_ = false;
  }

  SQLHENV env_ = SQL_NULL_HENV;
  SQLHDBC dbc_ = SQL_NULL_HDBC;
  bool connected_ = false;
};

// ---- Statement ----------------------------------------------------------------------------

struct Statement::Impl {
  Database* db = nullptr;
  SQLHDBC dbc = SQL_NULL_HDBC;
  SQLHSTMT stmt = SQL_NULL_HSTMT;
  SQLHSTMT lastKey = SQL_NULL_HSTMT;  // SQLite: "SELECT last_insert_rowid()", prepared on demand
  std::string sql;
  ValueText valueText;

  // One bound value. The driver reads it at each execution through the pointers given when it
  // was bound, so a marker is bound again only when its kind of value changes or its text
  // outgrows the room bound for it; otherwise only the value in place changes.
  struct Buffer {
    std::size_t kind = std::variant_npos;  // the Param alternative bound, none yet
    std::vector<unsigned char> text;       // its size is the room bound for text, in bytes
    bool longText = false;                 // bound as a long text type
    std::int64_t integer = 0;
    double real = 0;
    unsigned char bit = 0;
    SQL_DATE_STRUCT date{};
    SQL_TIMESTAMP_STRUCT timestamp{};
    SQLLEN indicator = 0;
  };
  std::vector<Buffer> buffers;
  std::shared_ptr<const std::vector<std::string>> columnNames;  // of the result, once described
  std::vector<SQLSMALLINT> columnTypes;

  ~Impl() {
    if (lastKey != SQL_NULL_HSTMT) SQLFreeHandle(SQL_HANDLE_STMT, lastKey);
    if (stmt != SQL_NULL_HSTMT) SQLFreeHandle(SQL_HANDLE_STMT, stmt);
  }

  [[noreturn]] void Fail(const std::string& operation) const {
    throw OdbcError(SQL_HANDLE_STMT, stmt, operation, sql);
  }

  // Closes the statement's open result, if any, so that it can run again.
  void CloseResult() {
    if (!Ok(SQLFreeStmt(stmt, SQL_CLOSE))) Fail("closing the result");
  }

  void Bind(std::span<const Param> params) {
    CloseResult();
    if (buffers.size() != params.size()) {
      if (!Ok(SQLFreeStmt(stmt, SQL_RESET_PARAMS))) Fail("releasing the parameters");
      buffers.assign(params.size(), Buffer{});
    }
    for (std::size_t i = 0; i < params.size(); ++i) {
      Buffer& b = buffers[i];
      const Param& p = params[i];
      bool rebind = b.kind != p.index();
      if (std::holds_alternative<std::nullptr_t>(p)) {
        b.indicator = SQL_NULL_DATA;
      } else if (const auto* s = std::get_if<std::string>(&p)) {
        const std::string wideBytes = valueText.wide ? valueText.Encode(*s) : std::string();
        const std::string& bytes = valueText.wide ? wideBytes : *s;
        const std::size_t units = bytes.size() / valueText.unit;
        const std::size_t room = b.text.size() / valueText.unit;
        // A text goes as a long text only when it is one: a long type cannot be compared with
        // "=" on SQL Server. The room of a short one never goes beyond the short type's limit.
        const bool isLong = units > kMaxShortText;
        // Never bound without room: a null data pointer would read as NULL, not as "".
        if (room == 0 || units > room || isLong != b.longText) {
          const std::size_t grown = std::max<std::size_t>({units, 2 * room, 32});
          b.text.resize((isLong ? grown : std::min(grown, kMaxShortText)) * valueText.unit);
          b.longText = isLong;
          rebind = true;
        }
        std::copy(bytes.begin(), bytes.end(), b.text.begin());
        b.indicator = static_cast<SQLLEN>(bytes.size());
      } else if (const auto* n = std::get_if<std::int64_t>(&p)) {
        b.integer = *n;
      } else if (const auto* d = std::get_if<double>(&p)) {
        b.real = *d;
      } else if (const auto* flag = std::get_if<bool>(&p)) {
        b.bit = *flag ? 1 : 0;
      } else if (const auto* date = std::get_if<Date>(&p)) {
        b.date.year = static_cast<SQLSMALLINT>(date->year);
        b.date.month = static_cast<SQLUSMALLINT>(date->month);
        b.date.day = static_cast<SQLUSMALLINT>(date->day);
        b.indicator = sizeof b.date;
      } else if (const auto* moment = std::get_if<DateTime>(&p)) {
        b.timestamp.year = static_cast<SQLSMALLINT>(moment->date.year);
        b.timestamp.month = static_cast<SQLUSMALLINT>(moment->date.month);
        b.timestamp.day = static_cast<SQLUSMALLINT>(moment->date.day);
        b.timestamp.hour = static_cast<SQLUSMALLINT>(moment->hour);
        b.timestamp.minute = static_cast<SQLUSMALLINT>(moment->minute);
        b.timestamp.second = static_cast<SQLUSMALLINT>(moment->second);
        b.timestamp.fraction = 0;
        b.indicator = sizeof b.timestamp;
      }
      if (rebind) BindBuffer(static_cast<SQLUSMALLINT>(i + 1), p.index(), b);
      b.kind = p.index();
    }
  }

  // Binds marker `number` to `b`, which holds a value of Param alternative `kind`.
  void BindBuffer(SQLUSMALLINT number, std::size_t kind, Buffer& b) {
    SQLRETURN rc = SQL_SUCCESS;
    switch (kind) {
      case 0:  // null
        rc = SQLBindParameter(stmt, number, SQL_PARAM_INPUT, valueText.cType, valueText.sqlType, 1,
                              0, nullptr, 0, &b.indicator);
        break;
      case 1: {  // text
        const SQLULEN room = b.text.size() / valueText.unit;
        rc = SQLBindParameter(stmt, number, SQL_PARAM_INPUT, valueText.cType,
                              b.longText ? valueText.sqlLongType : valueText.sqlType, room, 0,
                              b.text.data(), static_cast<SQLLEN>(b.text.size()), &b.indicator);
        break;
      }
      case 2:
        rc = SQLBindParameter(stmt, number, SQL_PARAM_INPUT, SQL_C_SBIGINT, SQL_BIGINT, 0, 0,
                              &b.integer, 0, nullptr);
        break;
      case 3:
        rc = SQLBindParameter(stmt, number, SQL_PARAM_INPUT, SQL_C_DOUBLE, SQL_DOUBLE, 15, 0,
                              &b.real, 0, nullptr);
        break;
      case 4:
        rc = SQLBindParameter(stmt, number, SQL_PARAM_INPUT, SQL_C_BIT, SQL_BIT, 1, 0, &b.bit, 0,
                              nullptr);
        break;
      case 5:
        rc = SQLBindParameter(stmt, number, SQL_PARAM_INPUT, SQL_C_TYPE_DATE, SQL_TYPE_DATE, 10, 0,
                              &b.date, 0, &b.indicator);
        break;
      case 6:
        rc = SQLBindParameter(stmt, number, SQL_PARAM_INPUT, SQL_C_TYPE_TIMESTAMP,
                              SQL_TYPE_TIMESTAMP, 19, 0, &b.timestamp, 0, &b.indicator);
        break;
      default:
        break;
    }
    if (!Ok(rc)) Fail("binding parameter " + std::to_string(number));
  }

  // Executes with `params`; SQL_NO_DATA (an update or delete that touched nothing) is success.
  void Run(std::span<const Param> params) {
    Bind(params);
    SQLRETURN rc = SQLExecute(stmt);
    if (!Ok(rc) && rc != SQL_NO_DATA) Fail("running the statement");
  }

  // Moves to the first result that has columns; false when there is none.
  bool SeekResultWithColumns() {
    for (;;) {
      SQLSMALLINT columns = 0;
      if (!Ok(SQLNumResultCols(stmt, &columns))) Fail("reading the result");
      if (columns > 0) return true;
      SQLRETURN rc = SQLMoreResults(stmt);
      if (rc == SQL_NO_DATA) return false;
      if (!Ok(rc)) Fail("reading the next result");
    }
  }

  // A column of the current result: its name and its SQL type.
  struct Column {
    std::string name;
    SQLSMALLINT type = 0;
  };

  // Column `number` (from 1) of the current result.
  Column Describe(SQLUSMALLINT number) {
    OdbcChar name[256] = {};
    SQLSMALLINT nameLength = 0, type = 0, digits = 0, nullable = 0;
    SQLULEN size = 0;
    if (!Ok(SQLDescribeCol(stmt, number, name, static_cast<SQLSMALLINT>(std::size(name)),
                           &nameLength, &type, &size, &digits, &nullable))) {
      Fail("describing the result");
    }
    return {FromOdbc(name), type};
  }

  // The field `name` of every row of the last result that has columns: the batch's own final
  // SELECT, which follows any rows that a trigger returned. Empty when that result has no such
  // column, or when no result has columns. Reads every result of the execution.
  std::vector<Field> ReadFinalColumn(std::string_view name) {
    std::vector<Field> fields;
    for (;;) {
      SQLSMALLINT count = 0;
      if (!Ok(SQLNumResultCols(stmt, &count))) Fail("reading the result");
      if (count > 0) {
        fields.clear();
        SQLUSMALLINT column = 0;
        SQLSMALLINT type = 0;
        for (SQLUSMALLINT c = 1; c <= static_cast<SQLUSMALLINT>(count) && column == 0; ++c) {
          const Column described = Describe(c);
          if (SameColumnName(described.name, name)) {
            column = c;
            type = described.type;
          }
        }
        for (;;) {
          const SQLRETURN rc = SQLFetch(stmt);
          if (rc == SQL_NO_DATA) break;
          if (!Ok(rc)) Fail("fetching a row");
          if (column != 0) fields.push_back(ReadField(column, type));
        }
      }
      const SQLRETURN rc = SQLMoreResults(stmt);
      if (rc == SQL_NO_DATA) break;
      if (!Ok(rc)) Fail("reading the next result");
    }
    CloseResult();
    return fields;
  }

  // SQLite: the key of the row the connection inserted last.
  Field LastInsertedKey() {
    if (lastKey == SQL_NULL_HSTMT) {
      if (!Ok(SQLAllocHandle(SQL_HANDLE_STMT, dbc, &lastKey))) {
        throw OdbcError(SQL_HANDLE_DBC, dbc, "allocating a statement");
      }
      SetStatementTimeout(lastKey, db->statementTimeoutSeconds());
      static const std::basic_string<OdbcChar> kLastKey = ToOdbc("SELECT last_insert_rowid()");
      if (!Ok(SQLPrepare(lastKey, const_cast<OdbcChar*>(kLastKey.c_str()), SQL_NTS))) {
        throw OdbcError(SQL_HANDLE_STMT, lastKey, "preparing to read the new key");
      }
    }
    SQLRETURN rc = SQLExecute(lastKey);
    if (!Ok(rc)) throw OdbcError(SQL_HANDLE_STMT, lastKey, "reading the new key");
    std::int64_t value = 0;
    SQLLEN indicator = 0;
    rc = SQLFetch(lastKey);
    if (Ok(rc)) rc = SQLGetData(lastKey, 1, SQL_C_SBIGINT, &value, 0, &indicator);
    // The diagnostics are read before closing, which clears them.
    if (!Ok(rc)) throw OdbcError(SQL_HANDLE_STMT, lastKey, "reading the new key");
    if (!Ok(SQLFreeStmt(lastKey, SQL_CLOSE))) {
      throw OdbcError(SQL_HANDLE_STMT, lastKey, "closing the result");
    }
    return Field(Field::Value(value));
  }

  ResultSet FetchAll() {
    SQLSMALLINT count = 0;
    if (!Ok(SQLNumResultCols(stmt, &count))) Fail("reading the result");
    // A prepared statement gives results of one shape: its columns are described once.
    if (!columnNames || columnNames->size() != static_cast<std::size_t>(count)) {
      std::vector<std::string> names;
      columnTypes.clear();
      for (SQLUSMALLINT c = 1; c <= static_cast<SQLUSMALLINT>(count); ++c) {
        Column described = Describe(c);
        names.push_back(std::move(described.name));
        columnTypes.push_back(described.type);
      }
      columnNames = std::make_shared<const std::vector<std::string>>(std::move(names));
    }
    const std::vector<SQLSMALLINT>& types = columnTypes;
    std::vector<Field> fields;
    for (;;) {
      SQLRETURN rc = SQLFetch(stmt);
      if (rc == SQL_NO_DATA) break;
      if (!Ok(rc)) Fail("fetching a row");
      for (SQLUSMALLINT c = 1; c <= static_cast<SQLUSMALLINT>(count); ++c) {
        fields.push_back(ReadField(c, types[c - 1]));
      }
    }
    CloseResult();
    return ResultSet(columnNames, std::move(fields));
  }

  Field ReadField(SQLUSMALLINT column, SQLSMALLINT type) {
    if (db->dialect() == Dialect::kSqlite && SqliteReadsAsText(type)) {
      std::optional<std::string> text = ReadText(column);
      return text ? Field::FromNumberText(std::move(*text)) : Field();
    }
    SQLLEN indicator = 0;
    switch (type) {
      case SQL_BIT:
      case SQL_TINYINT:
      case SQL_SMALLINT:
      case SQL_INTEGER:
      case SQL_BIGINT: {
        std::int64_t value = 0;
        if (!Ok(SQLGetData(stmt, column, SQL_C_SBIGINT, &value, 0, &indicator))) {
          Fail("reading field " + std::to_string(column));
        }
        return indicator == SQL_NULL_DATA ? Field() : Field(Field::Value(value));
      }
      case SQL_REAL:
      case SQL_FLOAT:
      case SQL_DOUBLE: {
        double value = 0;
        if (!Ok(SQLGetData(stmt, column, SQL_C_DOUBLE, &value, 0, &indicator))) {
          Fail("reading field " + std::to_string(column));
        }
        return indicator == SQL_NULL_DATA ? Field() : Field(Field::Value(value));
      }
      default:
        break;
    }
    std::optional<std::string> text = ReadText(column);
    if (!text) return Field();
    if (type == SQL_NUMERIC || type == SQL_DECIMAL) return Field::FromNumberText(std::move(*text));
    return Field(Field::Value(std::move(*text)));
  }

  // A text field of any length, read in pieces.
  std::optional<std::string> ReadText(SQLUSMALLINT column) {
    // Most fields fit the first piece; only a longer one is gathered piece by piece.
    alignas(SQLWCHAR) unsigned char piece[2048];
    const std::size_t capacity = sizeof piece - valueText.unit;  // less the terminator
    std::vector<unsigned char> longer;
    for (;;) {
      SQLLEN indicator = 0;
      SQLRETURN rc = SQLGetData(stmt, column, valueText.cType, piece, sizeof piece, &indicator);
      if (rc == SQL_NO_DATA) break;
      if (!Ok(rc)) Fail("reading field " + std::to_string(column));
      if (indicator == SQL_NULL_DATA) return std::nullopt;
      const bool whole = rc == SQL_SUCCESS && indicator != SQL_NO_TOTAL;
      std::size_t bytes =
          whole ? std::min(capacity, static_cast<std::size_t>(indicator)) : capacity;
      bytes -= bytes % valueText.unit;
      if (whole && longer.empty()) return valueText.Decode(piece, bytes);
      longer.insert(longer.end(), piece, piece + bytes);
      if (rc == SQL_SUCCESS) break;
    }
    return valueText.Decode(longer.data(), longer.size());
  }
};

Statement::Statement(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Statement::Statement(Statement&&) noexcept = default;
Statement& Statement::operator=(Statement&&) noexcept = default;
Statement::~Statement() = default;

ResultSet Statement::Query(std::span<const Param> params) {
  impl_->Run(params);
  if (!impl_->SeekResultWithColumns()) {
    impl_->CloseResult();
    return ResultSet();
  }
  return impl_->FetchAll();
}

void Statement::Execute(std::span<const Param> params) {
  impl_->Run(params);
  impl_->CloseResult();
}

std::int64_t Statement::InsertReturningKey(std::span<const Param> params) {
  return InsertReturningKeys(params, 1).front();
}

std::vector<std::int64_t> Statement::InsertReturningKeys(std::span<const Param> params,
                                                         std::size_t rows) {
  std::vector<Field> keys;
  if (impl_->db->dialect() == Dialect::kSqlServer) {
    impl_->Run(params);
    keys = impl_->ReadFinalColumn(kNewKeyColumn);
  } else {
    const std::size_t perRow = rows == 0 ? 0 : params.size() / rows;
    for (std::size_t row = 0; row < rows; ++row) {
      Execute(params.subspan(row * perRow, perRow));
      keys.push_back(impl_->LastInsertedKey());
    }
  }
  std::vector<std::int64_t> values;
  for (const Field& key : keys) {
    if (key.IsNull()) break;
    const auto* i = std::get_if<std::int64_t>(&key.value());
    values.push_back(i ? *i : static_cast<std::int64_t>(key.AsNumber(kNewKeyColumn)));
  }
  if (rows == 0 || values.size() != rows || keys.size() != rows) {
    throw InvalidUseOfNullError(
        {"the database gave no key for the new record", "statement: " + Shorten(impl_->sql)});
  }
  return values;
}

// ---- Database -----------------------------------------------------------------------------

Database::Database(std::unique_ptr<Connection> connection) : connection_(std::move(connection)) {}

Database::~Database() = default;

std::unique_ptr<Database> Database::Open(const std::string& connectionString,
                                         int loginTimeoutSeconds, int statementTimeoutSeconds) {
  auto connection = std::make_unique<Connection>();
  // The driver is told the limit both ways: some keep the login timeout, some the connection
  // timeout. A driver that takes neither is bounded below all the same, so a refusal is no
  // failure.
  SetConnectionSeconds(connection->dbc_, SQL_ATTR_LOGIN_TIMEOUT, loginTimeoutSeconds);
  SetConnectionSeconds(connection->dbc_, SQL_ATTR_CONNECTION_TIMEOUT, loginTimeoutSeconds);

  // The connect runs on a thread of its own, so that a driver that overruns its limit cannot
  // hold the run: FreeTDS with its default TDS version waits for ever on a server that takes
  // the connection and never answers. The driver gets a second more than its limit, to report
  // a timeout in its own words when it keeps it. An abandoned connect keeps its handles until
  // it returns, if ever; the run ends with the error below first.
  auto pending = std::make_shared<std::unique_ptr<Connection>>(std::move(connection));
  const bool ended =
      FinishesWithin(std::chrono::seconds(loginTimeoutSeconds) + std::chrono::seconds(1),
                     [pending, text = ToOdbc(connectionString)]() mutable {
                       Connection& c = **pending;
                       SQLRETURN rc = SQLDriverConnect(c.dbc_, nullptr, text.data(),
                                                       static_cast<SQLSMALLINT>(text.size()),
                                                       nullptr, 0, nullptr, SQL_DRIVER_NOPROMPT);
                       if (!Ok(rc)) throw OdbcError(SQL_HANDLE_DBC, c.dbc_, "opening the database");
                       c.connected_ = true;
                     });
  if (!ended) {
    throw RunError(
        errors::kDatabaseTimeout,
        "The database did not answer within " + std::to_string(loginTimeoutSeconds) + " seconds",
        {"while: opening the database"});
  }
  connection = std::move(*pending);

  OdbcChar name[256] = {};
  SQLSMALLINT length = 0;
  if (!Ok(SQLGetInfo(connection->dbc_, SQL_DBMS_NAME, name, sizeof name, &length))) {
    throw OdbcError(SQL_HANDLE_DBC, connection->dbc_, "asking the database for its name");
  }
  std::unique_ptr<Database> db(new Database(std::move(connection)));
  db->statementTimeoutSeconds_ = statementTimeoutSeconds;
  db->dbmsName_ = FromOdbc(name);
  const std::optional<Dialect> dialect = DialectOfDbms(db->dbmsName_);
  if (!dialect) {
    throw RunError(errors::kUnspecifiedDatabaseError,
                   "The database is neither SQL Server nor SQLite",
                   {"DBMS name: " + db->dbmsName_});
  }
  db->dialect_ = *dialect;
  return db;
}

bool Database::isOpen() const { return connection_ && connection_->connected_; }

bool Database::readsJson() {
  if (!readsJson_) {
    readsJson_ = false;
    if (dialect_ == Dialect::kSqlServer) {
      try {
        readsJson_ = Query(Sql{"SELECT COUNT(*) AS N FROM OPENJSON(N'[1]')", ""}).size() == 1;
      } catch (const RunError&) {
        // No OPENJSON here (an older server, or a lower compatibility level).
      }
    }
  }
  return *readsJson_;
}

Statement Database::Prepare(const Sql& sql) {
  if (!isOpen()) {
    throw RunError(errors::kObjectClosed, "Operation is not allowed when the object is closed.");
  }
  auto impl = std::make_unique<Statement::Impl>();
  impl->db = this;
  impl->dbc = connection_->dbc_;
  impl->sql = dialect_ == Dialect::kSqlite ? SqliteCompiledOnce(sql.sqlite) : sql.sqlServer;
  impl->valueText = ValueTextFor(dialect_);
  if (!Ok(SQLAllocHandle(SQL_HANDLE_STMT, impl->dbc, &impl->stmt))) {
    throw OdbcError(SQL_HANDLE_DBC, impl->dbc, "allocating a statement", impl->sql);
  }
  SetStatementTimeout(impl->stmt, statementTimeoutSeconds_);
  std::basic_string<OdbcChar> text = ToOdbc(impl->sql);
  if (!Ok(SQLPrepare(impl->stmt, text.data(), static_cast<SQLINTEGER>(text.size())))) {
    impl->Fail("preparing the statement");
  }
  return Statement(std::move(impl));
}

ResultSet Database::Query(const Sql& sql, std::span<const Param> params) {
  return Prepare(sql).Query(params);
}

void Database::Execute(const Sql& sql, std::span<const Param> params) {
  Prepare(sql).Execute(params);
}

void Database::Begin() {
  // Asked before any transaction: a statement the server refuses has no part in one.
  readsJson();
  if (!Ok(SQLSetConnectAttr(connection_->dbc_, SQL_ATTR_AUTOCOMMIT,
                            reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_OFF), 0))) {
    throw OdbcError(SQL_HANDLE_DBC, connection_->dbc_, "beginning a transaction");
  }
  inTransaction_ = true;
}

namespace {

// Ends the transaction on `dbc` with `completion` (SQL_COMMIT or SQL_ROLLBACK) and gives the
// connection back its autocommit, even when the end failed. The first failure raises RunError.
void EndTransaction(SQLHDBC dbc, SQLSMALLINT completion, const std::string& operation) {
  const SQLRETURN rc = SQLEndTran(SQL_HANDLE_DBC, dbc, completion);
  if (!Ok(rc)) {
    RunError failure = OdbcError(SQL_HANDLE_DBC, dbc, operation);
    SQLSetConnectAttr(dbc, SQL_ATTR_AUTOCOMMIT, reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON),
                      0);  // the failure above is the one to report
    throw failure;
  }
  if (!Ok(SQLSetConnectAttr(dbc, SQL_ATTR_AUTOCOMMIT,
                            reinterpret_cast<SQLPOINTER>(SQL_AUTOCOMMIT_ON), 0))) {
    throw OdbcError(SQL_HANDLE_DBC, dbc, "restoring autocommit after the transaction");
  }
}

}  // namespace

void Database::Commit() {
  EndTransaction(connection_->dbc_, SQL_COMMIT, "committing the transaction");
  inTransaction_ = false;
}

void Database::Rollback() {
  inTransaction_ = false;
  EndTransaction(connection_->dbc_, SQL_ROLLBACK, "rolling back the transaction");
}

void Database::Close() {
  if (connection_) connection_->Disconnect();
}

}  // namespace saldor
