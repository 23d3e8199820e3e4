#include "dbaccess/cdbmanage.h"

#include <algorithm>
#include <cctype>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "dbaccess/connection.h"
#include "dbaccess/connectionregistry.h"
#include "dbaccess/failure.h"
#include "dbaccess/readscope.h"
#include "dbaccess/sessionlimits.h"
#include "dbaccess/sqltrace.h"

using strataloom::db::Cell;
using strataloom::db::Statement;
using strataloom::db::StatementKind;
using strataloom::db::Value;
using strataloom::db::ValueKind;

namespace {

// A value in its text form: numbers as the engines print them, bytes as they are.
std::string ValueText(const Value& value) {
    switch (value.kind) {
        case ValueKind::Text:
        case ValueKind::Blob:
            return std::string(value.data ? value.data : "", value.size);
        case ValueKind::Integer:
            return std::to_string(value.integer);
        case ValueKind::Real: {
            char buffer[32];
            std::snprintf(buffer, sizeof buffer, "%.17g", value.real);
            return buffer;
        }
        case ValueKind::Null:
            break;
    }
    return std::string();
}

double ValueNumber(const Value& value) {
    switch (value.kind) {
        case ValueKind::Integer:
            return static_cast<double>(value.integer);
        case ValueKind::Real:
            return value.real;
        case ValueKind::Text:
            return std::strtod(ValueText(value).c_str(), nullptr);
        default:
            return 0.0;
    }
}

long long ValueInteger(const Value& value) {
    switch (value.kind) {
        case ValueKind::Integer:
            return value.integer;
        case ValueKind::Real:
            return std::isfinite(value.real) ? static_cast<long long>(value.real) : 0;
        case ValueKind::Text:
            return std::strtoll(ValueText(value).c_str(), nullptr, 10);
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
void CharText(char value, std::string& text) {
    const auto byte = static_cast<unsigned char>(value);
    text.clear();
    if (byte == 0) return;
    if (byte < 0x80) {
        text += value;
        return;
    }
    text += static_cast<char>(0xC0 | (byte >> 6));
    text += static_cast<char>(0x80 | (byte & 0x3F));
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

// Finds a name in a memo of name addresses. A remembered position still has
// to carry the name asked for: the same address may hold another name by now.
template <class Memo>
int FromMemo(const Memo& memo, const std::vector<std::string>& columns, const char* column) {
    for (const auto& entry : memo) {
        if (entry.name != column || entry.index < 0) continue;
        const std::string& name = columns[static_cast<std::size_t>(entry.index)];
        if (std::strncmp(name.c_str(), column, name.size() + 1) == 0 ||
            strataloom::db::SameColumnName(name, column)) {
            return entry.index;
        }
    }
    return -1;
}

}  // namespace

CDbManage::CDbManage(const char* connect) : connect_(OrEmpty(connect)) {}

// Rows that went to the table without their SaveData must not stay: the
// write they belong to fails.
CDbManage::~CDbManage() {
    rows_.reset();
    if (!streaming_) return;
    StopStreaming();
    if (!streamed_) return;
    connection_->EndInserts();
    connection_->Doom();
}

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
bool CDbManage::RefuseZeroByte(const Statement& statement) {
    if (!statement.HoldsZeroByte()) return false;
    NoteStatementFailure("the statement holds a zero byte");
    connection_->Doom();
    return true;
}

// The session's own statement runs once the row in hand is stored: rows and
// statements reach the database in the order they were made. Another
// session's statement would run ahead of that row.
bool CDbManage::RefuseWhileStoring() {
    if (!connection_->RowStream()) return false;
    if (streaming_) {
        EndRow();
        return false;
    }
    NoteStatementFailure("a statement ran while the rows of a save were being stored");
    connection_->Doom();
    return true;
}

// Outside a write, a table the connection knows is taken as it is (see
// OpenTable): no statement is built for it.
bool CDbManage::CheckTable(const char* table) {
    table = OrEmpty(table);
    strataloom::db::TraceStatement(table);
    statement_.assign(table);
    ForgetResult();
    if (!Connected() || RefuseWhileStoring()) return false;
    strataloom::db::JoinReadScope(connection_);
    if (!connection_->InScope()) {
        const std::string name(table);
        if (auto known = connection_->KnownTable(name)) {
            AdoptTable(name, std::move(known));
            return true;
        }
    }
    return OpenTable(Statement::WholeTable(table), TableRows::NotAsked) != kFailed;
}

bool CDbManage::CheckTable(const Statement& wholeTable) {
    return Run(wholeTable, TableRows::NotAsked) != kFailed;
}

int CDbManage::GetDataFromDB(const Statement& statement) {
    return Run(statement, TableRows::Asked);
}

std::unique_ptr<strataloom::db::Rows> CDbManage::Query(const Statement& statement) {
    if (statement.Kind() == StatementKind::DatabaseList)
        return connection_->ListDatabase(statement);
    return connection_->Query(statement);
}

void CDbManage::ForgetResult() {
    rows_.reset();
    located_.reset();
    for (ColumnMemo& memo : memo_) memo = ColumnMemo();
    onRow_ = false;
    readStarted_ = false;
}

int CDbManage::Run(const Statement& statement, TableRows tableRows) {
    strataloom::db::TraceStatement(statement.Text());
    statement_ = statement.Text();
    ForgetResult();
    if (!Connected() || RefuseZeroByte(statement) || RefuseWhileStoring()) return kFailed;
    strataloom::db::JoinReadScope(connection_);
    if (statement.Kind() == StatementKind::WholeTable) return OpenTable(statement, tableRows);
    rows_ = Query(statement);
    if (!rows_) {
        NoteStatementFailure(connection_->LastError());
        return kFailed;
    }
    onRow_ = rows_->Next();
    if (onRow_) return kRows;
    if (rows_->Failed()) {
        NoteStatementFailure(connection_->LastError());
        rows_.reset();
        return kFailed;
    }
    NoteStatementFailure("the statement found no row");
    return kNoRow;
}

int CDbManage::OpenTable(const Statement& wholeTable, TableRows tableRows) {
    const std::string& table = wholeTable.Text();
    // Outside a write, a table the connection knows is taken as it is: a
    // table dropped since fails the statement that reads it.
    if (tableRows == TableRows::NotAsked && !connection_->InScope()) {
        if (auto known = connection_->KnownTable(table)) {
            AdoptTable(table, std::move(known));
            return kRows;  // whether it holds a row was not asked
        }
    }
    std::shared_ptr<const strataloom::db::TableShape> shape;
    const int probe = connection_->ProbeTable(wholeTable, shape);
    if (probe == kFailed) {
        NoteStatementFailure(connection_->LastError());
        return kFailed;
    }
    AdoptTable(table, std::move(shape));
    return probe;
}

void CDbManage::AdoptTable(const std::string& table,
                           std::shared_ptr<const strataloom::db::TableShape> shape) {
    if (tableName_ != table) {
        pending_.Clear();
        row_.open = false;
        row_.columns.clear();
    }
    if (table_ != shape) {
        for (ColumnMemo& memo : writeMemo_) memo = ColumnMemo();
    }
    tableName_ = table;
    table_ = std::move(shape);
}

bool CDbManage::Read() {
    if (!readStarted_) {
        readStarted_ = true;
        return onRow_;
    }
    if (!onRow_) return false;
    onRow_ = rows_->Next();
    if (!onRow_ && rows_->Failed()) {
        strataloom::db::NoteLateFailure(strataloom::db::FailureText(
            connection_->LastError(), connection_->Describe(), statement_));
    }
    return onRow_;
}

CDbManage::Field CDbManage::Locate(const char* column) const {
    Field field;
    field.name = column;
    if (column && rows_) field.index = strataloom::db::FindColumn(rows_->Columns(), column);
    return field;
}

CDbManage::Field CDbManage::Located(const char* column) const {
    if (!column || !rows_) return Field{-1, column};
    const int known = FromMemo(memo_, rows_->Columns(), column);
    if (known >= 0) return Field{known, column};
    Field field = Locate(column);
    if (field.index >= 0) {
        memo_[memoNext_] = ColumnMemo{column, field.index};
        memoNext_ = (memoNext_ + 1) % kMemoSize;
    }
    return field;
}

const std::vector<CDbManage::Field>& CDbManage::LocateAll(const std::vector<const char*>& names) {
    // Without a result nothing is kept: every field reads as missing.
    const bool kept = rows_ && rows_->ColumnList();
    located_ = kept ? connection_->Located().Find(rows_->ColumnList(), names) : nullptr;
    if (located_) return *located_;
    auto fields = std::make_shared<std::vector<Field>>();
    fields->reserve(names.size());
    for (const char* name : names) fields->push_back(Locate(name));
    located_ = std::move(fields);
    if (kept) connection_->Located().Keep(rows_->ColumnList(), names, located_);
    return *located_;
}

bool CDbManage::CurrentValue(const Field& field, Value& value) const {
    if (field.index >= 0 && onRow_) {
        value = rows_->At(static_cast<std::size_t>(field.index));
        return true;
    }
    if (!onRow_) {
        NoteStatementFailure("no row is left to read");
    } else {
        NoteStatementFailure("the result has no column " + std::string(OrEmpty(field.name)));
    }
    return false;
}

bool CDbManage::GetFieldValue(const Field& field, char& value) const {
    Value current;
    if (!CurrentValue(field, current)) return false;
    if (current.kind == ValueKind::Text) {
        value = TextChar(current.data, current.size);
    } else {
        const std::string text = ValueText(current);
        value = TextChar(text.data(), text.size());
    }
    return true;
}

bool CDbManage::GetFieldValue(const Field& field, int& value) const {
    Value current;
    if (!CurrentValue(field, current)) return false;
    value = static_cast<int>(ValueInteger(current));
    return true;
}

bool CDbManage::GetFieldValue(const Field& field, float& value) const {
    Value current;
    if (!CurrentValue(field, current)) return false;
    value = static_cast<float>(ValueNumber(current));
    return true;
}

bool CDbManage::GetFieldValue(const Field& field, double& value) const {
    Value current;
    if (!CurrentValue(field, current)) return false;
    value = ValueNumber(current);
    return true;
}

bool CDbManage::GetFieldValue(const Field& field, std::string& value) const {
    Value current;
    if (!CurrentValue(field, current)) return false;
    if (current.kind == ValueKind::Text || current.kind == ValueKind::Blob) {
        value.assign(current.data ? current.data : "", current.size);
    } else {
        value = ValueText(current);
    }
    return true;
}

bool CDbManage::GetFieldValue(const Field& field, DbVariant& value) const {
    Value current;
    if (!CurrentValue(field, current)) return false;
    if (current.kind == ValueKind::Null) {
        value.Clear();
    } else if (current.kind == ValueKind::Blob || current.kind == ValueKind::Text) {
        value = DbVariant::FromBytes(current.data, current.size);
    } else {
        const std::string text = ValueText(current);
        value = DbVariant::FromBytes(text.data(), text.size());
    }
    return true;
}

long CDbManage::GetRecordCount() const {
    if (!rows_) return 0;
    const std::size_t count = rows_->Count();
    if (rows_->Failed()) {
        strataloom::db::NoteLateFailure(strataloom::db::FailureText(
            connection_->LastError(), connection_->Describe(), statement_));
    }
    return static_cast<long>(count);
}

bool CDbManage::GetActualSize(const Field& field, long& size) {
    Value current;
    if (!CurrentValue(field, current)) return false;
    switch (current.kind) {
        case ValueKind::Blob:
        case ValueKind::Text:
            size = static_cast<long>(current.size);
            break;
        case ValueKind::Null:
            size = 0;
            break;
        default:
            size = static_cast<long>(ValueText(current).size());
    }
    return true;
}

std::shared_ptr<strataloom::db::ByteArray> CDbManage::TakeHeldBytes(const Field& field) {
    if (field.index < 0 || !onRow_) return nullptr;
    return rows_->TakeHeldBytes(static_cast<std::size_t>(field.index));
}

bool CDbManage::CopyBytes(const Field& field, void* out, std::size_t size) const {
    const char* data = nullptr;
    std::size_t held = 0;
    if (!ViewBytes(field, data, held)) return false;
    if (held < size || (size > 0 && !data)) return false;
    if (size > 0) std::memcpy(out, data, size);
    return true;
}

bool CDbManage::ViewBytes(const Field& field, const char*& data, std::size_t& size) const {
    Value current;
    if (!CurrentValue(field, current)) return false;
    if (current.kind != ValueKind::Blob && current.kind != ValueKind::Text) return false;
    data = current.data;
    size = current.size;
    return true;
}

std::shared_ptr<strataloom::db::ByteArray> CDbManage::TakeBytes(const Field& field) {
    if (field.index < 0 || !onRow_) return nullptr;
    const Value current = rows_->At(static_cast<std::size_t>(field.index));
    switch (current.kind) {
        case ValueKind::Null:
            return nullptr;
        case ValueKind::Blob:
        case ValueKind::Text:
            return rows_->TakeBytes(static_cast<std::size_t>(field.index));
        default: {
            const std::string text = ValueText(current);
            return strataloom::db::ByteArray::Copy(text.data(), text.size());
        }
    }
}

void CDbManage::RefusePending(std::string reason) {
    if (!pendingFault_) pendingReason_ = std::move(reason);
    pendingFault_ = true;
}

void CDbManage::AddNew() {
    EndRow();
    if (streamArmed_ && !streaming_ && connection_ && connection_->InScope() && pending_.Empty()) {
        streaming_ = true;
        connection_->SetRowStream(true);
    }
    if (!table_) RefusePending("a row was started before a table was opened");
    row_.open = true;
    row_.columns.clear();
    ++rowsAdded_;
}

int CDbManage::TableColumn(const char* column) {
    const std::vector<std::string>& columns = table_->columns;
    const int known = FromMemo(writeMemo_, columns, column);
    if (known >= 0) return known;
    const int index = strataloom::db::FindColumn(columns, column);
    if (index >= 0) {
        writeMemo_[writeMemoNext_] = ColumnMemo{column, index};
        writeMemoNext_ = (writeMemoNext_ + 1) % kMemoSize;
    }
    return index;
}

Cell* CDbManage::CellFor(const char* column) {
    if (!row_.open) {
        RefusePending("a column was set before a row was started");
        return nullptr;
    }
    const int index = column && table_ ? TableColumn(column) : -1;
    if (index < 0) {
        RefusePending("the table " + tableName_ + " has no column " + OrEmpty(column));
        return nullptr;
    }
    std::size_t at = 0;
    while (at < row_.columns.size() && row_.columns[at] != index) ++at;
    if (at == row_.columns.size()) {
        // The cells of earlier rows are reused: their texts keep their room.
        row_.columns.push_back(index);
        if (row_.cells.size() < row_.columns.size()) row_.cells.emplace_back();
    }
    Cell& cell = row_.cells[at];
    cell.blob.reset();
    cell.kept = nullptr;
    cell.keptSize = 0;
    return &cell;
}

void CDbManage::SetFieldValue(const char* column, const char* value) {
    SetFieldValue(column, std::string(OrEmpty(value)));
}

void CDbManage::SetFieldValue(const char* column, const std::string& value) {
    Cell* cell = CellFor(column);
    if (!cell) return;
    // Engines cut a text at a zero byte, or refuse it: the row would not
    // hold what was saved.
    if (value.find('\0') != std::string::npos) {
        RefusePending("the text for column " + std::string(column) + " holds a zero byte");
    }
    cell->kind = Cell::Kind::Text;
    cell->text.assign(value);
}

void CDbManage::SetFieldValue(const char* column, char value) {
    if (Cell* cell = CellFor(column)) {
        cell->kind = Cell::Kind::Text;
        CharText(value, cell->text);
    }
}

void CDbManage::SetFieldValue(const char* column, int value) {
    if (Cell* cell = CellFor(column)) {
        cell->kind = Cell::Kind::Integer;
        cell->integer = value;
    }
}

void CDbManage::SetFieldValue(const char* column, float value) {
    SetFieldValue(column, static_cast<double>(value));
}

void CDbManage::SetFieldValue(const char* column, double value) {
    if (Cell* cell = CellFor(column)) {
        cell->kind = Cell::Kind::Real;
        cell->real = value;
    }
}

void CDbManage::SetFieldValue(const char* column, const DbVariant& value) {
    if (Cell* cell = CellFor(column)) {
        cell->kind = value.Bytes() ? Cell::Kind::Blob : Cell::Kind::Null;
        cell->blob = value.Bytes();
    }
}

void CDbManage::SetFieldBytesInPlace(const char* column, const void* data, std::size_t size) {
    if (Cell* cell = CellFor(column)) {
        cell->kind = Cell::Kind::Blob;
        cell->kept = static_cast<const char*>(data);
        cell->keptSize = size;
    }
}

void CDbManage::StoreRowsAsAdded() {
    if (!row_.open && pending_.Empty()) streamArmed_ = true;
}

void CDbManage::StopStreaming() {
    streaming_ = false;
    connection_->SetRowStream(false);
}

void CDbManage::EndRow() {
    if (!row_.open) return;
    row_.open = false;
    if (pendingFault_ || !table_) return;  // the save fails: nothing more is stored
    const std::size_t largest =
        std::min(connection_->LargestValue(), strataloom::db::Limits().largestValue);
    const std::size_t count = row_.columns.size();
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t size = row_.cells[i].Size();
        if (size <= largest) continue;
        const std::string& column = table_->columns[static_cast<std::size_t>(row_.columns[i])];
        RefusePending("the value for column " + column + " is " + std::to_string(size) +
                      " bytes, more than the engine stores (" + std::to_string(largest) +
                      " bytes)");
        return;
    }
    if (!streaming_) {
        pending_.Add(row_.columns, row_.cells, count);
        return;
    }
    values_.clear();
    for (std::size_t i = 0; i < count; ++i) values_.push_back(row_.cells[i].View());
    streamed_ = true;
    if (!StoreRow(row_.columns, values_)) {
        RefusePending(connection_->LastError());
        connection_->Doom();
    }
}

bool CDbManage::StoreRow(const std::vector<int>& columns, const std::vector<Value>& values) {
    return connection_->InsertRow(*table_, columns, values);
}

bool CDbManage::SaveData() {
    EndRow();
    statement_ = "SaveData " + tableName_ + " " + std::to_string(rowsAdded_);
    strataloom::db::TraceStatement(statement_);
    rowsAdded_ = 0;
    streamArmed_ = false;
    const bool faulty = pendingFault_;
    pendingFault_ = false;
    if (faulty) NoteStatementFailure(pendingReason_);
    if (streaming_) {
        StopStreaming();
        const bool streamed = streamed_;
        streamed_ = false;
        const bool ended = connection_->EndInserts();
        if (!faulty && ended) return true;
        if (!faulty) NoteStatementFailure(connection_->LastError());
        if (streamed) connection_->Doom();
        return false;
    }
    if (pending_.Empty()) return !faulty;
    const bool stored = !faulty && connection_ && InsertPending();
    pending_.Clear();
    return stored;
}

// Every pending row through the driver, inside one transaction.
bool CDbManage::InsertPending() {
    strataloom::db::Transaction transaction(*connection_);
    if (!transaction.Active()) {
        NoteStatementFailure("the write transaction could not begin");
        return false;
    }
    const bool inserted =
        pending_.ForEach([&](const std::vector<int>& columns, const std::vector<Value>& values) {
            return StoreRow(columns, values);
        });
    const bool ended = connection_->EndInserts();
    if (!inserted || !ended) {
        NoteStatementFailure(connection_->LastError());
        return false;
    }
    return transaction.Commit();
}

bool CDbManage::MayExecute(const Statement& statement) {
    strataloom::db::TraceStatement(statement.Text());
    statement_ = statement.Text();
    if (!Connected() || RefuseZeroByte(statement) || RefuseWhileStoring()) return false;
    // A statement that changes something runs outside any read snapshot: the
    // server creates a database only outside a transaction.
    if (!connection_->InScope()) connection_->EndRead();
    return true;
}

void CDbManage::ExecuteSQLWithRows(const Statement& statement) {
    if (MayExecute(statement) && !connection_->ExecuteLater(statement)) {
        NoteStatementFailure(connection_->LastError());
    }
}

bool CDbManage::ExecuteSQL(const Statement& statement) {
    if (!MayExecute(statement)) return false;
    const auto& arguments = statement.Arguments();
    const bool done = statement.Kind() == StatementKind::Restore && arguments.size() == 2
                          ? connection_->CreateDatabase(arguments[0], arguments[1])
                          : connection_->Execute(statement);
    if (!done) NoteStatementFailure(connection_->LastError());
    return done;
}
