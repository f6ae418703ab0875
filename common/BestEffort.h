// Steps whose failure is deliberately not reported: reading a provider property that may not
// exist, closing or cancelling what is being let go anyway, the checks a window makes in
// passing (a file's status, the start-up opening of windows). A failure of such a step changes
// nothing the user can act on, so it is dropped here, in one place, rather than in scattered
// empty handlers; the caller learns whether the step succeeded and decides what that means.
//
// Anything else that fails unexpectedly is not swallowed: it reaches the handler of
// UnexpectedError.h.
#pragma once

#include <utility>

template <class Step>
bool BestEffort(Step&& step) noexcept
{
    try {
        std::forward<Step>(step)();
        return true;
    } catch (...) {
        return false;
    }
}
