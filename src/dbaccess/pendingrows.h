// The rows a save has started and not stored yet, packed one after the
// other: a few bytes per value beyond the value itself, where a row of
// separate objects would take hundreds.
#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "dbaccess/cell.h"

namespace strataloom::db {

class PendingRows {
  public:
    // Packs a row: cells[i] is the value of column columns[i].
    void Add(const std::vector<int>& columns, const std::vector<Cell>& cells, std::size_t count);
    bool Empty() const { return rows_ == 0; }
    void Clear();

    // Calls store(columns, values) for each row in order, the values valid
    // during the call; false at the first row store refuses.
    template <class Store>
    bool ForEach(Store&& store) const {
        std::vector<Value> values;
        for (const std::string& block : blocks_) {
            std::size_t at = 0;
            while (at < block.size()) {
                const std::vector<int>& columns = Unpack(block, at, values);
                if (!store(columns, values)) return false;
            }
        }
        return true;
    }

  private:
    const std::vector<int>& Unpack(const std::string& block, std::size_t& at,
                                   std::vector<Value>& values) const;
    std::size_t ShapeOf(const std::vector<int>& columns, std::size_t count);

    std::vector<std::vector<int>> shapes_;  // the column sets of the rows
    std::size_t lastShape_ = 0;
    std::vector<std::string> blocks_;  // rows, each whole in one block
    std::vector<std::shared_ptr<const ByteArray>> blobs_;
    std::string row_;  // the row being packed
    std::size_t rows_ = 0;
};

}  // namespace strataloom::db
