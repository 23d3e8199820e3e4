// Arrays of doubles kept in one byte-array column of a row: 8 bytes per value.
#pragma once

#include <vector>

class CDbManage;

// Fills values from the column of the session's current row. A stored value of
// 16 bytes or less leaves values as they were; a length that is not a multiple
// of 8 drops the trailing bytes. 0 when the column cannot be read.
int ReadDoubleArrayField(const char* column, std::vector<double>& values, CDbManage& session);

// Sets the column of the row started last; an empty vector leaves it unset.
int WriteDoubleArrayField(const char* column, const std::vector<double>& values,
                          CDbManage& session);
