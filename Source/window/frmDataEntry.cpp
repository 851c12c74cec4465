#include "window/frmDataEntry.h"

frmDataEntry::frmDataEntry(QWidget *parent) : QMainWindow(parent)
{
    setObjectName("frmDataEntry");
    setWindowTitle("Data File Conversion Utility");
}
