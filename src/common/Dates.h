#pragma once

// Calendar dates as the system writes them: "dd/mm/yyyy" on screen and in documents,
// "mm/dd/yyyy" inside the "#...#" literals of statements, "yyyy-mm-dd" in storage.

#include <optional>
#include <string>
#include <string_view>

namespace dravik {

struct Date
{
    int year = 0, month = 0, day = 0;
    friend bool operator==(const Date &, const Date &) = default;
};

// A time of day, kept when a literal or a stored value carries one.
struct DateTime
{
    Date date;
    bool hasTime = false;
    int hour = 0, minute = 0, second = 0;
};

bool isValidDate(int year, int month, int day);

// "dd/mm/yyyy" (one or two digits for day and month), optionally followed by " hh:mm[:ss]".
std::optional<DateTime> parseFrDate(std::string_view text);
// "mm/dd/yyyy", optionally followed by " hh:mm[:ss]".
std::optional<DateTime> parseUsDate(std::string_view text);
// "yyyy-mm-dd", optionally followed by " hh:mm[:ss]" or "Thh:mm[:ss]".
std::optional<DateTime> parseIsoDate(std::string_view text);

std::string formatIso(const DateTime &d); // yyyy-mm-dd[ hh:mm:ss]
std::string formatFr(const DateTime &d); // dd/mm/yyyy[ hh:mm:ss]

// A stored ISO value as the documents show it; text that is not an ISO date is returned as is.
std::string isoToFr(std::string_view iso);
// A shown date as stored; text that is not a "dd/mm/yyyy" date is returned as is.
std::string frToIso(std::string_view fr);

// The local date (and time) of this machine.
DateTime today();
DateTime now();

} // namespace dravik
