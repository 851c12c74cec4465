#pragma once

// The spreadsheet object model in one include: Application > Workbooks >
// Workbook > Worksheet > Range and Columns, with the cell values.
#include "workbook/spreadsheet/Application.h"
#include "workbook/spreadsheet/CellValue.h"
#include "workbook/spreadsheet/Columns.h"
#include "workbook/spreadsheet/DateTime.h"
#include "workbook/spreadsheet/Range.h"
#include "workbook/spreadsheet/Workbook.h"
#include "workbook/spreadsheet/Workbooks.h"
#include "workbook/spreadsheet/Worksheet.h"
