// Automation dates and ODBC timestamps.
#include "odbc.h"

#include <cmath>

namespace adohost {
namespace {

// Howard Hinnant's days-from-civil and its inverse, for the proleptic
// Gregorian calendar that automation dates use.
long long DaysFromCivil(long long y, unsigned m, unsigned d) {
    y -= m <= 2;
    const long long era = (y >= 0 ? y : y - 399) / 400;
    const unsigned yoe = static_cast<unsigned>(y - era * 400);
    const unsigned doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d - 1;
    const unsigned doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
    return era * 146097 + static_cast<long long>(doe) - 719468;
}

void CivilFromDays(long long z, long long& y, unsigned& m, unsigned& d) {
    z += 719468;
    const long long era = (z >= 0 ? z : z - 146096) / 146097;
    const unsigned doe = static_cast<unsigned>(z - era * 146097);
    const unsigned yoe = (doe - doe / 1460 + doe / 36524 - doe / 146096) / 365;
    y = static_cast<long long>(yoe) + era * 400;
    const unsigned doy = doe - (365 * yoe + yoe / 4 - yoe / 100);
    const unsigned mp = (5 * doy + 2) / 153;
    d = doy - (153 * mp + 2) / 5 + 1;
    m = mp + (mp < 10 ? 3 : -9);
    y += m <= 2;
}

const long long kDayZero = DaysFromCivil(1899, 12, 30);
const long long kMsPerDay = 86400000;

}  // namespace

SQL_TIMESTAMP_STRUCT TimestampFromDate(DATE date) {
    // The integral part counts days from 1899-12-30; the fraction is the time
    // of day, counted away from zero for dates before that day.
    double day = std::trunc(date);
    long long ms = std::llround(std::fabs(date - day) * kMsPerDay);
    long long days = static_cast<long long>(day);
    if (ms >= kMsPerDay) {
        ms -= kMsPerDay;
        days += 1;
    }
    long long y;
    unsigned m, d;
    CivilFromDays(kDayZero + days, y, m, d);
    SQL_TIMESTAMP_STRUCT ts = {};
    ts.year = static_cast<SQLSMALLINT>(y);
    ts.month = static_cast<SQLUSMALLINT>(m);
    ts.day = static_cast<SQLUSMALLINT>(d);
    ts.hour = static_cast<SQLUSMALLINT>(ms / 3600000);
    ts.minute = static_cast<SQLUSMALLINT>(ms / 60000 % 60);
    ts.second = static_cast<SQLUSMALLINT>(ms / 1000 % 60);
    ts.fraction = static_cast<SQLUINTEGER>(ms % 1000 * 1000000);
    return ts;
}

DATE DateFromTimestamp(const SQL_TIMESTAMP_STRUCT& ts) {
    long long days = DaysFromCivil(ts.year, ts.month, ts.day) - kDayZero;
    long long ms = ((ts.hour * 60LL + ts.minute) * 60 + ts.second) * 1000 + (ts.fraction + 500000) / 1000000;
    double time = static_cast<double>(ms) / kMsPerDay;
    return days >= 0 ? days + time : days - time;
}

}  // namespace adohost
