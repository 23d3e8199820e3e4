// Records as columns and columns as records. A field table names each field
// of a record type with the column name a DataFrame shows it under (the
// record's own member name, which is also the table's column name), so one
// table serves the loads (records into numpy arrays and lists) and the saves
// (DataFrame columns back into records, checked before anything is written).
#pragma once

#include <pybind11/numpy.h>
#include <pybind11/pybind11.h>

#include <cmath>
#include <string>
#include <variant>
#include <vector>

namespace strataloom::python {

namespace py = pybind11;

template <class Record>
struct Field {
    using Member = std::variant<std::string Record::*, double Record::*, float Record::*,
                                int Record::*, char Record::*>;
    const char* name;
    Member member;
};

template <class Record>
using FieldTable = std::vector<Field<Record>>;

// The numpy type a numeric member is shown with: the member's own width, so
// that a value reads back bit for bit.
template <class T>
py::array_t<T> NumberColumn(std::size_t rows) {
    return py::array_t<T>(static_cast<py::ssize_t>(rows));
}

// The records' values of one field: a numpy array for numbers, a list of str
// for text and characters.
template <class Record>
py::object ColumnOf(const std::vector<const Record*>& rows, const Field<Record>& field) {
    return std::visit(
        [&](auto member) -> py::object {
            using T = std::decay_t<decltype(std::declval<Record>().*member)>;
            if constexpr (std::is_same_v<T, std::string>) {
                py::list values(rows.size());
                for (std::size_t i = 0; i < rows.size(); ++i) {
                    const std::string& text = rows[i]->*member;
                    values[i] = py::str(text.data(), text.size());
                }
                return std::move(values);
            } else if constexpr (std::is_same_v<T, char>) {
                py::list values(rows.size());
                for (std::size_t i = 0; i < rows.size(); ++i) {
                    const char c = rows[i]->*member;
                    values[i] = py::str(&c, c ? 1 : 0);
                }
                return std::move(values);
            } else {
                auto values = NumberColumn<T>(rows.size());
                T* out = values.mutable_data();
                for (std::size_t i = 0; i < rows.size(); ++i) out[i] = rows[i]->*member;
                return std::move(values);
            }
        },
        field.member);
}

// Every field of the records as a dict of columns, in field order.
template <class Record>
py::dict ColumnsOf(const std::vector<const Record*>& rows, const FieldTable<Record>& fields) {
    py::dict columns;
    for (const Field<Record>& field : fields) columns[field.name] = ColumnOf(rows, field);
    return columns;
}

// ---- columns into records --------------------------------------------------

[[noreturn]] void BadColumn(const std::string& column, const std::string& what);

// The column as a numpy array of T, refused unless it holds numbers of a kind
// T keeps (integers for int fields) that are all finite.
template <class T>
py::array_t<T> NumbersOf(const std::string& name, const py::handle& column) {
    const py::array array = py::array::ensure(column);
    if (!array) BadColumn(name, "cannot be read as an array");
    const char kind = array.dtype().kind();
    const bool integral = kind == 'i' || kind == 'u';
    if (std::is_integral_v<T> ? !integral : !(integral || kind == 'f')) {
        BadColumn(name, std::string("must hold ") +
                            (std::is_integral_v<T> ? "integers" : "numbers") +
                            ", not values of dtype " + py::str(array.dtype()).cast<std::string>());
    }
    auto values = py::array_t<T, py::array::c_style | py::array::forcecast>::ensure(array);
    if (!values) BadColumn(name, "cannot be converted");
    const T* data = values.data();
    for (py::ssize_t i = 0; i < values.size(); ++i) {
        if (!std::isfinite(static_cast<double>(data[i]))) {
            BadColumn(name,
                      "holds a value that is not a finite number at row " + std::to_string(i));
        }
    }
    return values;
}

// Text of one cell: str as it is, None and NaN (pandas' missing text) as "".
std::string TextOf(const std::string& name, py::ssize_t row, const py::handle& cell);

template <class Record>
void FillField(std::vector<Record>& records, const Field<Record>& field, const py::handle& column) {
    std::visit(
        [&](auto member) {
            using T = std::decay_t<decltype(std::declval<Record>().*member)>;
            const std::string name = field.name;
            if constexpr (std::is_same_v<T, std::string> || std::is_same_v<T, char>) {
                const py::sequence cells = py::reinterpret_borrow<py::sequence>(column);
                for (std::size_t i = 0; i < records.size(); ++i) {
                    std::string text = TextOf(name, static_cast<py::ssize_t>(i), cells[i]);
                    if constexpr (std::is_same_v<T, char>) {
                        if (text.size() > 1) {
                            BadColumn(name,
                                      "holds more than one character at row " + std::to_string(i));
                        }
                        records[i].*member = text.empty() ? '\0' : text[0];
                    } else {
                        records[i].*member = std::move(text);
                    }
                }
            } else {
                const auto values = NumbersOf<T>(name, column);
                for (std::size_t i = 0; i < records.size(); ++i) records[i].*member = values.at(i);
            }
        },
        field.member);
}

// Records from a dict of columns of equal length `rows`; a field without a
// column keeps the record's default. Unknown columns and columns of the wrong
// kind raise ValueError, before the caller writes anything.
template <class Record>
std::vector<Record> RecordsOf(const py::dict& columns, std::size_t rows,
                              const FieldTable<Record>& fields) {
    for (const auto& item : columns) {
        const std::string name = py::str(item.first);
        bool known = false;
        for (const Field<Record>& field : fields) known = known || name == field.name;
        if (!known) {
            std::string list;
            for (const Field<Record>& field : fields)
                list += (list.empty() ? "" : ", ") + std::string(field.name);
            throw py::value_error("unknown column " + name + "; the columns are " + list);
        }
        if (py::len(item.second) != rows) {
            throw py::value_error("column " + name + " holds " +
                                  std::to_string(py::len(item.second)) + " values, expected " +
                                  std::to_string(rows));
        }
    }
    std::vector<Record> records(rows);
    for (const Field<Record>& field : fields) {
        if (columns.contains(field.name)) FillField(records, field, columns[field.name]);
    }
    return records;
}

}  // namespace strataloom::python
