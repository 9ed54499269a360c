#pragma once

#include <string_view>

namespace coning {

// Reads the number at the start of a field's text the way the input fields always have: blanks,
// tabs and line feeds anywhere are dropped, "&H"/"&O" start hexadecimal/octal whole numbers,
// otherwise the longest prefix [sign] digits [. digits] [E|D [sign] digits] is read with '.' as
// the decimal point in every locale. Text without a digit reads as 0. The result is the nearest
// double; a number beyond the double range reads as +-infinity (a run that uses it reports an
// overflow). Linear in the length of the text.
double ParseLeadingNumber(std::string_view text);

// What ParseLeadingNumber reads of a text, and whether that is all of it: `whole` when every
// character but the dropped blanks belongs to the number read and the number has a digit. Text
// that is empty or blank is not whole ("1,2", "12abc", "5E", "abc" and "&H" are not either).
struct LeadingNumber
{
    double value = 0.0;
    bool whole = false;
};
LeadingNumber readLeadingNumber(std::string_view text);

} // namespace coning
