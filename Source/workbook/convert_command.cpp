#include "window/frmDataEntry.h"

// The convert command: writes the loaded dataset to a workbook named in the
// save dialog. Not written yet: for now the command does nothing.
void frmDataEntry::convertCommand()
{
}
