// A file that cannot be read or written. Thrown by the file layer (persistence/) and by
// whatever writes through a Dokumentziel; caught where an event ends (the window's
// Ausfuehren, the command line), which shows what() to the user.
#pragma once

#include <stdexcept>

namespace pavolant {

// what() is the message the user sees, e.g. "In <file> kann nicht geschrieben werden".
class DateiFehler : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

}  // namespace pavolant
