#pragma once

#include <QString>
#include <QStringList>

namespace kestrane {

// Translates a file-type filter of the form
//   "Description (*.EXT)|*.EXT|Other (*.A;*.B)|*.A;*.B"
// into Qt's name filters, one "Description (*.ext *.EXT)" entry per pair.
//
// The patterns of each pair become the parenthesised list Qt reads; a
// parenthesised list at the end of the description is replaced by it rather
// than repeated. Each pattern is listed in lower case, as written and in
// upper case: file systems here tell case apart, and a log copied as "run1.dat" is
// still a data file the operator wants to see (whether a command accepts the
// path is the command's own test). Empty pairs are skipped; a description
// without a pattern lists every file.
QStringList qtNameFilters(const QString &filter);

// The extension of the filter's first pattern, in lower case and without the
// dot ("xls" for "Data Files (*.XLS)|*.XLS"); empty when that pattern names no
// single extension ("*", "*.*", "*.x?s").
QString firstExtension(const QString &filter);

// `path` with the extension of its file name swapped for `extension`, or with
// it added where the name has none: "/logs/run.dat" -> "/logs/run.xls",
// "/logs/run" -> "/logs/run.xls". A name that has it already, in any case,
// and an empty path or extension are left as they are.
QString withExtension(const QString &path, const QString &extension);

} // namespace kestrane
