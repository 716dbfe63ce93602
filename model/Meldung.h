// The one way the core asks for the user's OK. The desktop program shows a modal box,
// the command line prints the text, tests record it. A call returns once the user has
// confirmed; the caller then goes on or stops as its own rules say.
#pragma once

#include <string>

namespace pavolant {

enum class MeldungsArt { Warnung, Information };

class Melder {
public:
    virtual ~Melder() = default;
    virtual void Melden(MeldungsArt art, const std::string& text) = 0;

    void Warnung(const std::string& text) { Melden(MeldungsArt::Warnung, text); }
    void Information(const std::string& text) { Melden(MeldungsArt::Information, text); }
};

}  // namespace pavolant
