#include "PrintSetup.h"

wxPrintData& CPrintSetup::Current()
{
    static wxPrintData data;
    return data;
}
