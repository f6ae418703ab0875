// Gregorian dates as day numbers: the automation date type counts days from 1899-12-30, and
// everything that converts to or from it goes through these.
#pragma once

#include <cstdint>

// Days from 1899-12-30 (day 0 of the automation date) to 1970-01-01.
constexpr int64_t kDaysFrom1899To1970 = 25569;

// Days since 1970-01-01 of a proleptic Gregorian date (month 1 to 12), and back.
int64_t DaysFromCivil(int64_t year, unsigned month, unsigned day);
void CivilFromDays(int64_t days, int64_t& year, unsigned& month, unsigned& day);
