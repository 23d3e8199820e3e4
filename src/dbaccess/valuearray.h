// Arrays of doubles kept in one byte-array column of a row: 8 bytes per value.
#pragma once

#include <vector>

class CDbManage;

// Fills values from the column of the session's current row, one value per 8
// bytes (trailing bytes beyond whole values are dropped). A NULL or empty
// value, or one shorter than 8 bytes, leaves values as they were. 0 when the
// column cannot be read.
int ReadDoubleArrayField(const char* column, std::vector<double>& values, CDbManage& session);

// Sets the column of the row started last; an empty vector leaves it unset.
int WriteDoubleArrayField(const char* column, const std::vector<double>& values,
                          CDbManage& session);
