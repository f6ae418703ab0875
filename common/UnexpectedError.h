// The one place an exception nobody expected ends up: the main loop's handler and the guard
// around every worker thread hand it here. It is written to the standard error with where it
// happened, so a fault that slipped through is seen instead of lost; the caller then goes on
// with the failure text the user sees ("Errors occurred." or "Out-of-Memory.").
//
// Thread-safe: workers call it too.
#pragma once

#include <wx/string.h>

#include <exception>

// The text the user is shown for the failure: "Out-of-Memory." for an allocation failure,
// "Errors occurred." otherwise.
wxString UnexpectedErrorText(const std::exception_ptr& error);

// Writes "<where>: unexpected failure: <what>" to the standard error. Never throws.
void LogUnexpectedError(const char* where, const std::exception_ptr& error) noexcept;
