// Has the toolkit lay a window's top-level window out again from the top on its next layout
// pass. On GTK a request for layout made inside the multiple-document client area can stop at
// the client area when that was left marked as still to be laid out (it happens when the main
// window resizes it while itself being laid out, as when another query window opens); a window
// shown in there then keeps no size on screen and is never painted, until the main window
// happens to be laid out again. A layout from the top reaches it.
#pragma once

class wxWindow;

void LayoutFromTop(wxWindow& window);
