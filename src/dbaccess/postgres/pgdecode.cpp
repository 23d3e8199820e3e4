// The binary decoding of the server's answers: each value of a row as the
// session reads it, without a copy of the answer.
#include <libpq-fe.h>
#include <poll.h>

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <functional>

#include "dbaccess/failure.h"
#include "dbaccess/postgres/pgshared.h"
#include "dbaccess/sessionlimits.h"
#include "dbaccess/sqltext.h"

namespace strataloom::db::pg {

namespace {

unsigned long long BigEndian(const char* bytes, int size) {
    unsigned long long value = 0;
    for (int i = 0; i < size; ++i) value = (value << 8) | static_cast<unsigned char>(bytes[i]);
    return value;
}

double NumericValue(const char* bytes, int size, bool& integral) {
    integral = true;
    if (size < 8) return 0.0;
    const auto digits = static_cast<int16_t>(BigEndian(bytes, 2));
    const auto weight = static_cast<int16_t>(BigEndian(bytes + 2, 2));
    const auto sign = static_cast<uint16_t>(BigEndian(bytes + 4, 2));
    const auto scale = static_cast<uint16_t>(BigEndian(bytes + 6, 2));
    if (sign == 0xC000) {
        integral = false;
        return std::nan("");
    }
    double value = 0.0;
    for (int i = 0; i < digits && 8 + 2 * i + 2 <= size; ++i) {
        const double digit = static_cast<double>(BigEndian(bytes + 8 + 2 * i, 2));
        value += digit * std::pow(10000.0, weight - i);
    }
    integral = scale == 0;
    return sign == 0x4000 ? -value : value;
}

// A value of a binary result as the session reads it; text and bytes point
// into the result.
Value DecodeBinary(Oid type, const char* bytes, int size) {
    switch (type) {
        case kBool:
            return Value::Integer(size > 0 && bytes[0] != 0);
        case kBytea:
            return Value::Bytes(ValueKind::Blob, bytes, static_cast<std::size_t>(size));
        case kInt2:
            return Value::Integer(static_cast<int16_t>(BigEndian(bytes, 2)));
        case kInt4:
            return Value::Integer(static_cast<int32_t>(BigEndian(bytes, 4)));
        case kOid:
            return Value::Integer(static_cast<uint32_t>(BigEndian(bytes, 4)));
        case kInt8:
            return Value::Integer(static_cast<long long>(BigEndian(bytes, 8)));
        case kFloat4: {
            const auto bits = static_cast<uint32_t>(BigEndian(bytes, 4));
            float value;
            std::memcpy(&value, &bits, sizeof value);
            return Value::Real(value);
        }
        case kFloat8: {
            const unsigned long long bits = BigEndian(bytes, 8);
            double value;
            std::memcpy(&value, &bits, sizeof value);
            return Value::Real(value);
        }
        case kNumeric: {
            bool integral = false;
            const double value = NumericValue(bytes, size, integral);
            if (integral && std::fabs(value) < 9e15) {
                return Value::Integer(static_cast<long long>(value));
            }
            return Value::Real(value);
        }
        default:  // text and its kin
            return Value::Bytes(ValueKind::Text, bytes, static_cast<std::size_t>(size));
    }
}

// The rows of a server's answer, read where the client library holds them.
}  // namespace

namespace {

bool SameColumns(const std::vector<std::string>& names, const PGresult* result, int columns) {
    if (names.size() != static_cast<std::size_t>(columns)) return false;
    for (int c = 0; c < columns; ++c) {
        if (std::strcmp(names[static_cast<std::size_t>(c)].c_str(), PQfname(result, c)) != 0) {
            return false;
        }
    }
    return true;
}

}  // namespace

// The list that matched last is tried first: reads repeat.
std::shared_ptr<const std::vector<std::string>> ColumnLists::Of(const PGresult* result) {
    const int columns = PQnfields(result);
    if (last_ < recent_.size() && SameColumns(*recent_[last_], result, columns)) {
        return recent_[last_];
    }
    for (std::size_t i = 0; i < recent_.size(); ++i) {
        if (i != last_ && SameColumns(*recent_[i], result, columns)) {
            last_ = i;
            return recent_[i];
        }
    }
    auto names = std::make_shared<std::vector<std::string>>();
    names->reserve(static_cast<std::size_t>(columns));
    for (int c = 0; c < columns; ++c) names->emplace_back(PQfname(result, c));
    if (recent_.size() < kKept) {
        last_ = recent_.size();
        recent_.push_back(names);
    } else {
        last_ = next_;
        recent_[next_] = names;
        next_ = (next_ + 1) % kKept;
    }
    return names;
}

class PgRows final : public Rows {
  public:
    PgRows(PgResult result, std::shared_ptr<const std::vector<std::string>> columns)
        : result_(std::move(result)) {
        columns_ = std::move(columns);
        rows_ = PQntuples(result_.get());
    }
    bool Next() override {
        if (row_ < rows_) ++row_;
        return row_ < rows_;
    }
    Value At(std::size_t column) const override {
        const int c = static_cast<int>(column);
        if (row_ < 0 || row_ >= rows_ || PQgetisnull(result_.get(), row_, c)) return Value();
        return DecodeBinary(PQftype(result_.get(), c), PQgetvalue(result_.get(), row_, c),
                            PQgetlength(result_.get(), row_, c));
    }
    std::size_t Count() override { return static_cast<std::size_t>(rows_); }

  private:
    PgResult result_;
    int rows_ = 0;
    int row_ = -1;
};

std::unique_ptr<Rows> ServerRows(PgResult result, ColumnLists& lists) {
    auto columns = lists.Of(result.get());
    return std::make_unique<PgRows>(std::move(result), std::move(columns));
}

}  // namespace strataloom::db::pg
