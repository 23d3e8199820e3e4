#include "dbaccess/cdbmanage.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "dbaccess/connection.h"
#include "dbaccess/connectionregistry.h"
#include "dbaccess/dialect.h"
#include "dbaccess/failure.h"
#include "dbaccess/readscope.h"
#include "dbaccess/sessionlimits.h"
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

// A character travels as text: 0 as the empty text (what an unset flag reads
// as), a byte above 127 as the character of that code in UTF-8. Every value
// is then stored alike on both engines, and the server, which takes UTF-8
// only, takes all of them.
std::string CharText(char value) {
    const auto byte = static_cast<unsigned char>(value);
    if (byte == 0) return std::string();
    if (byte < 0x80) return std::string(1, value);
    return {static_cast<char>(0xC0 | (byte >> 6)), static_cast<char>(0x80 | (byte & 0x3F))};
}

// The first character of a text, as CharText stores it; a single byte above
// 127 (as earlier versions stored it) reads as itself.
char TextChar(const char* data, std::size_t size) {
    if (size == 0) return '\0';
    const auto lead = static_cast<unsigned char>(data[0]);
    if (size >= 2 && (lead == 0xC2 || lead == 0xC3)) {
        const auto next = static_cast<unsigned char>(data[1]);
        if ((next & 0xC0) == 0x80) return static_cast<char>(((lead & 0x1F) << 6) | (next & 0x3F));
    }
    return data[0];
}

std::size_t ValueSize(const Cell& cell) {
    if (cell.kind == Cell::Kind::Text) return cell.text.size();
    if (cell.kind == Cell::Kind::Blob) return cell.blob->size;
    return 0;
}

}  // namespace

CDbManage::CDbManage(const char* connect) : connect_(OrEmpty(connect)) {}

CDbManage::~CDbManage() = default;

bool CDbManage::Connected() {
    if (connection_) return true;
    std::string error;
    connection_ = strataloom::db::AcquireConnection(connect_, &error);
    if (!connection_) strataloom::db::NoteFailure(error);
    return connection_ != nullptr;
}

void CDbManage::NoteStatementFailure(const std::string& message) const {
    // A write whose transaction could not begin has its reason noted already.
    if (connection_ && connection_->ScopeBroken()) return;
    strataloom::db::NoteFailure(strataloom::db::FailureText(
        message, connection_ ? connection_->Describe() : connect_, statement_));
}

// Engines cut a text at a zero byte, or refuse it: the statement would not
// do what its text says. Inside a write, the write fails with it.
bool CDbManage::RefuseZeroByte(const std::string& text) {
    if (text.find('\0') == std::string::npos) return false;
    NoteStatementFailure("the statement holds a zero byte");
    connection_->Doom();
    return true;
}

int CDbManage::GetDataFromDB(const char* sql) {
    return GetDataFromDB(std::string(OrEmpty(sql)));
}

int CDbManage::GetDataFromDB(const std::string& text) {
    strataloom::db::TraceStatement(text);
    statement_ = text;
    result_.Clear();
    for (ColumnMemo& memo : memo_) memo = ColumnMemo();
    row_ = 0;
    readStarted_ = false;
    if (!Connected() || RefuseZeroByte(text)) return kFailed;
    strataloom::db::JoinReadScope(connection_);
    if (IsBareTableName(text)) return OpenTable(text);
    if (!connection_->Query(strataloom::db::AdaptStatement(text), result_)) {
        NoteStatementFailure(connection_->LastError());
        return kFailed;
    }
    if (result_.RowCount() > 0) return kRows;
    NoteStatementFailure("the statement found no row");
    return kNoRow;
}

int CDbManage::OpenTable(const std::string& table) {
    std::vector<std::string> columns;
    const int probe = connection_->ProbeTable(table, columns);
    if (probe == kFailed) {
        NoteStatementFailure(connection_->LastError());
        return kFailed;
    }
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

// Null, with the reason noted, when no row is current or the column is missing.
const Slot* CDbManage::CurrentSlot(const char* column) const {
    const int index = CurrentColumn(column);
    if (index >= 0) return &result_.At(row_, static_cast<std::size_t>(index));
    if (row_ >= result_.RowCount()) {
        NoteStatementFailure("no row is left to read");
    } else {
        NoteStatementFailure("the result has no column " + std::string(OrEmpty(column)));
    }
    return nullptr;
}

bool CDbManage::GetFieldValue(const char* column, char& value) const {
    const Slot* slot = CurrentSlot(column);
    if (!slot) return false;
    if (slot->kind == Cell::Kind::Text) {
        value = TextChar(result_.TextData(*slot), slot->length);
    } else {
        const std::string text = SlotText(result_, *slot);
        value = TextChar(text.data(), text.size());
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

void CDbManage::RefusePending(std::string reason) {
    if (!pendingFault_) pendingReason_ = std::move(reason);
    pendingFault_ = true;
}

void CDbManage::AddNew() {
    if (table_.empty()) RefusePending("a row was started before a table was opened");
    pending_.emplace_back();
}

void CDbManage::SetCell(const char* column, Cell cell) {
    const int index = column ? strataloom::db::FindColumn(tableColumns_, column) : -1;
    if (pending_.empty()) {
        RefusePending("a column was set before a row was started");
        return;
    }
    if (index < 0) {
        RefusePending("the table " + table_ + " has no column " + OrEmpty(column));
        return;
    }
    // Engines cut a text at a zero byte, or refuse it: the row would not
    // hold what was saved.
    if (cell.kind == Cell::Kind::Text && cell.text.find('\0') != std::string::npos) {
        RefusePending("the text for column " + std::string(column) + " holds a zero byte");
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
    SetCell(column, Cell::Text(CharText(value)));
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
    statement_ = "SaveData " + table_ + " " + std::to_string(pending_.size());
    strataloom::db::TraceStatement(statement_);
    const bool faulty = pendingFault_;
    pendingFault_ = false;
    if (faulty) NoteStatementFailure(pendingReason_);
    if (pending_.empty()) return !faulty;
    const bool stored = !faulty && connection_ && InsertPending();
    pending_.clear();
    return stored;
}

bool CDbManage::LargerThanTheEngineTakes() const {
    const std::size_t largest =
        std::min(connection_->LargestValue(), strataloom::db::Limits().largestValue);
    for (const PendingRow& row : pending_) {
        for (std::size_t i = 0; i < row.values.size(); ++i) {
            const std::size_t size = ValueSize(row.values[i]);
            if (size <= largest) continue;
            const std::string& column = tableColumns_[static_cast<std::size_t>(row.columns[i])];
            NoteStatementFailure("the value for column " + column + " is " + std::to_string(size) +
                                 " bytes, more than the engine stores (" + std::to_string(largest) +
                                 " bytes)");
            return true;
        }
    }
    return false;
}

// Consecutive rows that set the same columns go through one prepared insert.
bool CDbManage::InsertPending() {
    if (LargerThanTheEngineTakes()) return false;
    strataloom::db::Transaction transaction(*connection_);
    if (!transaction.Active()) {
        NoteStatementFailure("the write transaction could not begin");
        return false;
    }
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
        if (!connection_->Insert(table_, names, rows)) {
            NoteStatementFailure(connection_->LastError());
            return false;
        }
        first = last;
    }
    return transaction.Commit();
}

bool CDbManage::ExecuteSQL(const char* sql) {
    return ExecuteSQL(std::string(OrEmpty(sql)));
}

bool CDbManage::ExecuteSQL(const std::string& text) {
    strataloom::db::TraceStatement(text);
    statement_ = text;
    if (!Connected() || RefuseZeroByte(text)) return false;
    // A statement that changes something runs outside any read snapshot: the
    // server creates a database only outside a transaction.
    if (!connection_->InScope()) connection_->EndRead();
    if (!connection_->Execute(strataloom::db::AdaptStatement(text))) {
        NoteStatementFailure(connection_->LastError());
        return false;
    }
    return true;
}
