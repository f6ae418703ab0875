#include "UnexpectedError.h"

#include <cstdio>
#include <new>
#include <stdexcept>

namespace {

const char* Describe(const std::exception_ptr& error)
{
    try {
        std::rethrow_exception(error);
    } catch (const std::exception& e) {
        return e.what();
    } catch (...) {
        return "an exception of unknown type";
    }
}

} // namespace

wxString UnexpectedErrorText(const std::exception_ptr& error)
{
    try {
        std::rethrow_exception(error);
    } catch (const std::bad_alloc&) {
        return "Out-of-Memory.";
    } catch (...) {
        return "Errors occurred.";
    }
}

void LogUnexpectedError(const char* where, const std::exception_ptr& error) noexcept
{
    if (!error)
        return;
    // fprintf, not wxLog: no allocation on a path that may be reporting a failed one.
    std::fprintf(stderr, "%s: unexpected failure: %s\n", where, Describe(error));
}
