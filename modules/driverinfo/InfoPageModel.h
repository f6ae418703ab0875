// What every page of the driver information sheet is without its window: the texts and flags
// it shows, read from an InfoSource, and its section of the text report.
#pragma once

#include "InfoSource.h"

#include <string>

namespace ferrow {

class InfoPageModel {
public:
    virtual ~InfoPageModel() = default;
    // Reads the driver's answers; does nothing when the source is not connected.
    virtual void FetchInfo(InfoSource& source) = 0;
    // Appends the page's section ("\n" line ends); nothing when the source is not connected.
    // Pages whose section lists more than they keep ask the source again.
    virtual void WriteReport(InfoSource& source, std::string& out) = 0;
};

} // namespace ferrow
