// Shared pieces of the control helper tests.
#pragma once

#include <wx/frame.h>

#include "tests/common/WxStringPrinter.h"

#include <gtest/gtest.h>

// Lets the toolkit process pending events and draw.
void Pump(int rounds = 10);

// A shown top-level frame that each test builds its controls in.
class GuiTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        m_frame = new wxFrame(nullptr, wxID_ANY, "test", wxPoint(50, 50), wxSize(500, 400));
        m_frame->Show();
        Pump();
    }
    void TearDown() override
    {
        m_frame->Destroy();
        Pump(2);
    }

    wxFrame* m_frame = nullptr;
};
