// Arrays of doubles kept in one byte-array column of a row: 8 bytes per value.
#pragma once

#include <vector>

#include "dbaccess/cdbmanage.h"

// Fills values from the column of the session's current row, one value per 8
// bytes (trailing bytes beyond whole values are dropped). A NULL or empty
// value, or one shorter than 8 bytes, leaves values as they were. 0 when the
// column cannot be read.
int ReadDoubleArrayField(const char* column, std::vector<double>& values, CDbManage& session);
// The same for a column located once for all the rows of the result.
int ReadDoubleArrayField(const CDbManage::Field& column, std::vector<double>& values,
                         CDbManage& session);
// The same with every value equal to null read as NaN. The values are
// replaced as they are copied from the engine: a caller that wants NaN for
// missing samples pays no second pass over them.
int ReadDoubleArrayFieldNullsAsNaN(const char* column, double null, std::vector<double>& values,
                                   CDbManage& session);
// Every value equal to null becomes NaN.
void NullsToNaN(std::vector<double>& values, double null);

// Sets the column of the row started last; an empty vector leaves it unset.
int WriteDoubleArrayField(const char* column, const std::vector<double>& values,
                          CDbManage& session);
// The same without copying the values: the session stores them where they
// lie, so they must stay as they are until SaveData has run (as the records
// a save is given do). A save of many curves then holds no second copy of
// their samples.
int WriteDoubleArrayFieldInPlace(const char* column, const std::vector<double>& values,
                                 CDbManage& session);
