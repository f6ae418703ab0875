#include "TorvaneApp.h"

wxIMPLEMENT_APP(CTorvaneApp);
