#pragma once

#include "row_columns.h"

#include <functional>

namespace varnholt {

class LineReader;

/// What becomes of each record read: its texts in column order, and the line
/// of the input its "{" stands on.
using TakeRecord = std::function<void(const RowColumns::Texts &texts, int line)>;

/// Reads a JSON array of element sets from `source`, whose next bytes begin
/// it (a UTF-8 byte-order mark in front passed over), and gives each record
/// to `take` as it is read. The input is read a buffer at a time and one
/// record's texts are kept at a time, so memory does not grow with the file.
///
/// Each record is an object keyed by the column names (columnNames); keys of
/// other names are passed over, whatever their values. A string value gives
/// its text, a number the text it is written with in the file, null an empty
/// text. Returns the number of records once the array has ended and only
/// blanks follow it. Throws ConversionError, with line() set, for:
/// - malformed JSON: "The JSON is malformed at line 3, column 14: <reason>";
/// - a record that is not an object: "Record 5 is not an object";
/// - a needed key missing or given twice: "Record 5 has no MEAN_MOTION",
///   "Record 5 has MEAN_MOTION twice";
/// - a needed key with an object, array, true or false: "Record 5:
///   MEAN_MOTION is an array, not a text or a number";
/// - a needed text holding a line break: "Record 5: OBJECT_NAME holds a line break";
/// and passes on whatever `take` throws. Records given to `take` before an
/// error stay taken.
int readJsonRecords(LineReader &source, const TakeRecord &take);

} // namespace varnholt
