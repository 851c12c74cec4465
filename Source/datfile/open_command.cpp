#include "window/frmDataEntry.h"

// The open command: lets the operator choose a .DAT file and reads it into
// the dataset. Not written yet: for now the command does nothing.
void frmDataEntry::openCommand()
{
}
