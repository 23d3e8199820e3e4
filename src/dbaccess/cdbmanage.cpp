#include "dbaccess/cdbmanage.h"

#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "dbaccess/connection.h"
#include "dbaccess/connectionregistry.h"
#include "dbaccess/dialect.h"
#include "dbaccess/sqltrace.h"

using strataloom::db::Cell;

namespace {

// A bare table name opens the table for adding rows; anything else is a statement.
bool IsBareTableName(const std::string& text) {
    if (text.empty()) return false;
    for (char c : text) {
        if (!(std::isalnum(static_cast<unsigned char>(c)) || c == '_')) return false;
    }
    return !std::isdigit(static_cast<unsigned char>(text[0]));
}

using strataloom::db::Slot;

std::string SlotText(const strataloom::db::ResultSet& result, const Slot& slot) {
    switch (slot.kind) {
        case Cell::Kind::Text:
            return result.TextOf(slot);
        case Cell::Kind::Integer:
            return std::to_string(slot.integer);
        case Cell::Kind::Real: {
            char buffer[32];
            std::snprintf(buffer, sizeof buffer, "%.17g", slot.real);
            return buffer;
        }
        case Cell::Kind::Blob: {
            const auto& bytes = result.BlobOf(slot);
            return std::string(bytes->Data(), bytes->size);
        }
        case Cell::Kind::Null:
            break;
    }
    return std::string();
}

double SlotNumber(const strataloom::db::ResultSet& result, const Slot& slot) {
    switch (slot.kind) {
        case Cell::Kind::Integer:
            return static_cast<double>(slot.integer);
        case Cell::Kind::Real:
            return slot.real;
        case Cell::Kind::Text:
            return std::strtod(result.TextOf(slot).c_str(), nullptr);
        default:
            return 0.0;
    }
}

long long SlotInteger(const strataloom::db::ResultSet& result, const Slot& slot) {
    switch (slot.kind) {
        case Cell::Kind::Integer:
            return slot.integer;
        case Cell::Kind::Real:
            return std::isfinite(slot.real) ? static_cast<long long>(slot.real) : 0;
        case Cell::Kind::Text:
            return std::strtoll(result.TextOf(slot).c_str(), nullptr, 10);
        default:
            return 0;
    }
}

const char* OrEmpty(const char* text) {
    return text ? text : "";
}

}  // namespace

CDbManage::CDbManage(const char* connect) : connect_(OrEmpty(connect)) {}

CDbManage::~CDbManage() = default;

int CDbManage::GetDataFromDB(const char* sql) {
    const std::string text = OrEmpty(sql);
    strataloom::db::TraceStatement(text);
    result_.Clear();
    for (ColumnMemo& memo : memo_) memo = ColumnMemo();
    row_ = 0;
    readStarted_ = false;
    if (!connection_) connection_ = strataloom::db::AcquireConnection(connect_);
    if (!connection_) return kFailed;
    if (IsBareTableName(text)) return OpenTable(text);
    if (!connection_->Query(strataloom::db::AdaptStatement(text), result_)) return kFailed;
    return result_.RowCount() > 0 ? kRows : kNoRow;
}

int CDbManage::OpenTable(const std::string& table) {
    std::vector<std::string> columns;
    const int probe = connection_->ProbeTable(table, columns);
    if (probe == kFailed) return kFailed;
    if (table_ != table) pending_.clear();
    table_ = table;
    tableColumns_ = std::move(columns);
    return probe;
}

bool CDbManage::Read() {
    if (!readStarted_) {
        readStarted_ = true;
    } else if (row_ < result_.RowCount()) {
        ++row_;
    }
    return row_ < result_.RowCount();
}

int CDbManage::CurrentColumn(const char* column) const {
    if (!column || row_ >= result_.RowCount()) return -1;
    // A remembered position still has to carry the name asked for: the same
    // address may hold another name by now.
    for (const ColumnMemo& memo : memo_) {
        if (memo.name != column) continue;
        const std::string& name = result_.columns[static_cast<std::size_t>(memo.index)];
        if (std::strncmp(name.c_str(), column, name.size() + 1) == 0 ||
            strataloom::db::SameColumnName(name, column)) {
            return memo.index;
        }
    }
    const int index = strataloom::db::FindColumn(result_.columns, column);
    if (index >= 0) {
        memo_[memoNext_] = ColumnMemo{column, index};
        memoNext_ = (memoNext_ + 1) % kMemoSize;
    }
    return index;
}

const Slot* CDbManage::CurrentSlot(const char* column) const {
    const int index = CurrentColumn(column);
    return index < 0 ? nullptr : &result_.At(row_, static_cast<std::size_t>(index));
}

bool CDbManage::GetFieldValue(const char* column, char& value) const {
    const Slot* slot = CurrentSlot(column);
    if (!slot) return false;
    if (slot->kind == Cell::Kind::Text) {
        value = slot->length == 0 ? '\0' : result_.TextData(*slot)[0];
    } else {
        const std::string text = SlotText(result_, *slot);
        value = text.empty() ? '\0' : text[0];
    }
    return true;
}

bool CDbManage::GetFieldValue(const char* column, int& value) const {
    const Slot* slot = CurrentSlot(column);
    if (!slot) return false;
    value = static_cast<int>(SlotInteger(result_, *slot));
    return true;
}

bool CDbManage::GetFieldValue(const char* column, float& value) const {
    const Slot* slot = CurrentSlot(column);
    if (!slot) return false;
    value = static_cast<float>(SlotNumber(result_, *slot));
    return true;
}

bool CDbManage::GetFieldValue(const char* column, double& value) const {
    const Slot* slot = CurrentSlot(column);
    if (!slot) return false;
    value = SlotNumber(result_, *slot);
    return true;
}

bool CDbManage::GetFieldValue(const char* column, std::string& value) const {
    const Slot* slot = CurrentSlot(column);
    if (!slot) return false;
    if (slot->kind == Cell::Kind::Text) {
        value.assign(result_.TextData(*slot), slot->length);
    } else {
        value = SlotText(result_, *slot);
    }
    return true;
}

bool CDbManage::GetFieldValue(const char* column, DbVariant& value) const {
    const Slot* slot = CurrentSlot(column);
    if (!slot) return false;
    if (slot->kind == Cell::Kind::Blob) {
        value = DbVariant(result_.BlobOf(*slot));
    } else if (slot->kind == Cell::Kind::Null) {
        value.Clear();
    } else {
        const std::string text = SlotText(result_, *slot);
        value = DbVariant::FromBytes(text.data(), text.size());
    }
    return true;
}

long CDbManage::GetRecordCount() const {
    return static_cast<long>(result_.RowCount());
}

bool CDbManage::GetActualSize(const char* column, long& size) {
    const Slot* slot = CurrentSlot(column);
    if (!slot) return false;
    switch (slot->kind) {
        case Cell::Kind::Blob:
            size = static_cast<long>(result_.BlobOf(*slot)->size);
            break;
        case Cell::Kind::Text:
            size = static_cast<long>(slot->length);
            break;
        case Cell::Kind::Null:
            size = 0;
            break;
        default:
            size = static_cast<long>(SlotText(result_, *slot).size());
    }
    return true;
}

std::shared_ptr<strataloom::db::ByteArray> CDbManage::TakeBytes(const char* column) {
    const int index = CurrentColumn(column);
    if (index < 0) return nullptr;
    const Slot& slot = result_.At(row_, static_cast<std::size_t>(index));
    if (slot.kind == Cell::Kind::Blob)
        return result_.TakeBlob(row_, static_cast<std::size_t>(index));
    if (slot.kind == Cell::Kind::Null) return nullptr;
    const std::string text = SlotText(result_, slot);
    return strataloom::db::ByteArray::Copy(text.data(), text.size());
}

void CDbManage::AddNew() {
    if (table_.empty()) pendingFault_ = true;
    pending_.emplace_back();
}

void CDbManage::SetCell(const char* column, Cell cell) {
    const int index = column ? strataloom::db::FindColumn(tableColumns_, column) : -1;
    if (pending_.empty() || index < 0) {
        pendingFault_ = true;
        return;
    }
    PendingRow& row = pending_.back();
    for (std::size_t i = 0; i < row.columns.size(); ++i) {
        if (row.columns[i] == index) {
            row.values[i] = std::move(cell);
            return;
        }
    }
    row.columns.push_back(index);
    row.values.push_back(std::move(cell));
}

void CDbManage::SetFieldValue(const char* column, const char* value) {
    SetCell(column, Cell::Text(OrEmpty(value)));
}
void CDbManage::SetFieldValue(const char* column, const std::string& value) {
    SetCell(column, Cell::Text(value));
}
void CDbManage::SetFieldValue(const char* column, char value) {
    // A zero character is stored as the empty text, which reads back as zero:
    // the server's text columns refuse a zero byte.
    SetCell(column, Cell::Text(value ? std::string(1, value) : std::string()));
}
void CDbManage::SetFieldValue(const char* column, int value) {
    SetCell(column, Cell::Integer(value));
}
void CDbManage::SetFieldValue(const char* column, float value) {
    SetCell(column, Cell::Real(value));
}
void CDbManage::SetFieldValue(const char* column, double value) {
    SetCell(column, Cell::Real(value));
}
void CDbManage::SetFieldValue(const char* column, const DbVariant& value) {
    SetCell(column, Cell::Blob(value.Bytes()));
}

bool CDbManage::SaveData() {
    strataloom::db::TraceStatement("SaveData " + table_ + " " + std::to_string(pending_.size()));
    const bool faulty = pendingFault_;
    pendingFault_ = false;
    if (pending_.empty()) return !faulty;
    bool stored = !faulty && connection_ && InsertPending();
    pending_.clear();
    return stored;
}

// Consecutive rows that set the same columns go through one prepared insert.
bool CDbManage::InsertPending() {
    strataloom::db::Transaction transaction(*connection_);
    if (!transaction.Active()) return false;
    std::size_t first = 0;
    while (first < pending_.size()) {
        const std::vector<int>& shape = pending_[first].columns;
        std::size_t last = first;
        std::vector<const std::vector<Cell>*> rows;
        while (last < pending_.size() && pending_[last].columns == shape) {
            rows.push_back(&pending_[last].values);
            ++last;
        }
        std::vector<std::string> names;
        names.reserve(shape.size());
        for (int index : shape) names.push_back(tableColumns_[static_cast<std::size_t>(index)]);
        if (!connection_->Insert(table_, names, rows)) return false;
        first = last;
    }
    return transaction.Commit();
}

bool CDbManage::ExecuteSQL(const char* sql) {
    const std::string text = OrEmpty(sql);
    strataloom::db::TraceStatement(text);
    if (!connection_) connection_ = strataloom::db::AcquireConnection(connect_);
    if (!connection_) return false;
    return connection_->Execute(strataloom::db::AdaptStatement(text));
}
