// The page setup every print job of the program starts from: the printer, paper and
// orientation that File > Print Setup... chose. A print dialog's choices carry over to the next
// job, as they would in any desktop program.
//
// Thread: UI thread only.
#pragma once

#include <wx/cmndata.h>

class CPrintSetup {
public:
    static wxPrintData& Current();
};
