// The two ends of a project copy: a project file or a server database, read
// table by table as a stream of rows and written the same way. A row travels
// as cells in one engine-neutral form (whole number, real, text, bytes), in
// which each side also computes the checksum of what it holds, so both ends
// of a copy can be compared whatever their engines.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace strataloom::formats {

// What a column keeps, whatever the engine calls it.
enum class ColumnClass { kInteger, kReal, kText, kBytes, kOther };

struct CopyColumn {
    std::string name;  // as the engine names it
    ColumnClass kind = ColumnClass::kOther;
    unsigned type = 0;  // the server's type of the column; 0 on a project file
};

struct CopyTable {
    std::string name;  // as the engine names it
    std::vector<CopyColumn> columns;
};

enum class CellKind : unsigned char { kNull, kInteger, kReal, kText, kBytes };

// One value of a row; text and bytes point into the reader's memory, valid
// while the row is handed on.
struct Cell {
    CellKind kind = CellKind::kNull;
    long long integer = 0;
    double real = 0.0;
    const char* data = nullptr;
    std::size_t size = 0;
};

using CopyRow = std::vector<Cell>;
// Takes one row; false stops the read (the reason is the sink's to keep).
using RowSink = std::function<bool(const CopyRow&)>;

// The checksum of a row: the same for the same values on every engine, NaN
// and every byte of text and bytes included.
std::uint64_t RowChecksum(const CopyRow& row);
// The bytes of table data a row carries: text and byte lengths, 8 per number.
std::uint64_t RowBytes(const CopyRow& row);

// A text naming a cell's value for a failure reason.
std::string DescribeCell(const Cell& cell);

class CopySide {
  public:
    virtual ~CopySide() = default;

    // Every table with its columns, by name.
    virtual bool Tables(std::vector<CopyTable>& tables, std::string& reason) = 0;
    virtual bool CountRows(const CopyTable& table, std::uint64_t& rows, std::string& reason) = 0;

    // A read transaction: every table read afterwards shows one state.
    virtual bool BeginReading(std::string& reason) = 0;
    // Streams the columns of table, in the order given, to sink.
    virtual bool Read(const std::string& table, const std::vector<CopyColumn>& columns,
                      const RowSink& sink, std::string& reason) = 0;

    // One transaction for every table written.
    virtual bool BeginWriting(std::string& reason) = 0;
    virtual bool StartTable(const std::string& table, const std::vector<CopyColumn>& columns,
                            std::string& reason) = 0;
    virtual bool Write(const CopyRow& row, std::string& reason) = 0;
    virtual bool FinishTable(std::string& reason) = 0;
    virtual bool CommitWriting(std::string& reason) = 0;
};

// A project file, opened read-only or for writing; null with the reason.
std::unique_ptr<CopySide> OpenFileSide(const std::string& path, bool writable, std::string& reason);
// A server database; null with the reason.
std::unique_ptr<CopySide> OpenServerSide(const std::string& connect, std::string& reason);

}  // namespace strataloom::formats
