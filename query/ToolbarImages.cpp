#include "ToolbarImages.h"

namespace {

// Each picture is an SVG on a 16 x 16 grid.
const char* SvgOf(ToolbarImage image)
{
    switch (image) {
    case ToolbarImage::Execute: // a green "play" triangle
        return R"(<svg xmlns="http://www.w3.org/2000/svg" width="16" height="16" viewBox="0 0 16 16">
<path d="M4 2.2v11.6l10-5.8z" fill="#2e9d32" stroke="#1b5e20" stroke-width="1" stroke-linejoin="round"/>
</svg>)";
    case ToolbarImage::Cancel: // a red "stop" square
        return R"(<svg xmlns="http://www.w3.org/2000/svg" width="16" height="16" viewBox="0 0 16 16">
<rect x="2.5" y="2.5" width="11" height="11" rx="1.5" fill="#d32f2f" stroke="#8e1b1b" stroke-width="1"/>
<rect x="4.5" y="4.5" width="7" height="2" fill="#ef9a9a"/>
</svg>)";
    case ToolbarImage::ResultsInText: // a page of text lines
        return R"(<svg xmlns="http://www.w3.org/2000/svg" width="16" height="16" viewBox="0 0 16 16">
<path d="M2.5 1.5h8l3 3v10h-11z" fill="#ffffff" stroke="#555555" stroke-width="1" stroke-linejoin="round"/>
<path d="M10.5 1.5v3h3" fill="#e0e0e0" stroke="#555555" stroke-width="1"/>
<path d="M4.5 6.5h7M4.5 8.5h7M4.5 10.5h7M4.5 12.5h4" stroke="#1565c0" stroke-width="1"/>
</svg>)";
    case ToolbarImage::Messages: // a speech bubble
        return R"(<svg xmlns="http://www.w3.org/2000/svg" width="16" height="16" viewBox="0 0 16 16">
<path d="M1.5 2.5h13v8h-7l-3.5 3.5v-3.5h-2.5z" fill="#fff4c2" stroke="#8a6d00" stroke-width="1" stroke-linejoin="round"/>
<path d="M4 5h8M4 7.5h5" stroke="#8a6d00" stroke-width="1"/>
</svg>)";
    case ToolbarImage::Schema: // a tree of objects below a database
        return R"(<svg xmlns="http://www.w3.org/2000/svg" width="16" height="16" viewBox="0 0 16 16">
<path d="M4 6v7.5h4M4 9.5h4" fill="none" stroke="#555555" stroke-width="1"/>
<ellipse cx="4" cy="2.5" rx="3" ry="1.2" fill="#ffd54f" stroke="#8d6e00" stroke-width="0.8"/>
<path d="M1 2.5v3a3 1.2 0 0 0 6 0v-3" fill="#ffca28" stroke="#8d6e00" stroke-width="0.8"/>
<rect x="8.5" y="7.5" width="6" height="4" fill="#90caf9" stroke="#0d47a1" stroke-width="1"/>
<rect x="8.5" y="11.5" width="6" height="4" fill="#a5d6a7" stroke="#1b5e20" stroke-width="1"/>
</svg>)";
    case ToolbarImage::Output: // a window whose lower part is the output pane
        return R"(<svg xmlns="http://www.w3.org/2000/svg" width="16" height="16" viewBox="0 0 16 16">
<rect x="1.5" y="1.5" width="13" height="13" fill="#ffffff" stroke="#555555" stroke-width="1"/>
<rect x="2" y="2" width="12" height="2" fill="#78909c"/>
<rect x="2" y="9" width="12" height="5" fill="#bbdefb"/>
<path d="M1.5 8.5h13" stroke="#555555" stroke-width="1"/>
<path d="M3.5 11h6M3.5 12.8h4" stroke="#0d47a1" stroke-width="0.8"/>
</svg>)";
    case ToolbarImage::PreviousGrid: // a grid with an arrow to the left
        return R"(<svg xmlns="http://www.w3.org/2000/svg" width="16" height="16" viewBox="0 0 16 16">
<rect x="4.5" y="0.5" width="11" height="10" fill="#ffffff" stroke="#666666" stroke-width="1"/>
<rect x="5" y="1" width="10" height="2.5" fill="#cfd8dc"/>
<path d="M4.5 3.5h11M4.5 7h11M8.2 0.5v10M11.8 0.5v10" stroke="#888888" stroke-width="0.8"/>
<path d="M8.5 10v2.5h-4v2.5l-4-4.5 4-4.5v2.5h4z" fill="#1976d2" stroke="#0d47a1" stroke-width="0.8" stroke-linejoin="round"/>
</svg>)";
    case ToolbarImage::NextGrid: // a grid with an arrow to the right
        return R"(<svg xmlns="http://www.w3.org/2000/svg" width="16" height="16" viewBox="0 0 16 16">
<rect x="0.5" y="0.5" width="11" height="10" fill="#ffffff" stroke="#666666" stroke-width="1"/>
<rect x="1" y="1" width="10" height="2.5" fill="#cfd8dc"/>
<path d="M0.5 3.5h11M0.5 7h11M4.2 0.5v10M7.8 0.5v10" stroke="#888888" stroke-width="0.8"/>
<path d="M7.5 10v2.5h4v2.5l4-4.5-4-4.5v2.5h-4z" fill="#1976d2" stroke="#0d47a1" stroke-width="0.8" stroke-linejoin="round"/>
</svg>)";
    }
    return "";
}

} // namespace

wxBitmapBundle GetToolbarImage(ToolbarImage image)
{
    return wxBitmapBundle::FromSVG(SvgOf(image), wxSize(16, 16));
}
