// Where a generated document goes. The generator decides when the target is checked,
// opened and completed; the implementation decides how (persistence/ErsetzendeDatei.h
// has the file written all-or-nothing). Tests put their own target in between.
#pragma once

#include <ostream>

namespace pavolant {

class Dokumentziel {
public:
    virtual ~Dokumentziel() = default;

    // Before the computation: throws DateiFehler when the target cannot be written, so
    // that a run stops before it computes for nothing. Leaves nothing behind.
    virtual void Pruefen() = 0;
    // The document is ready: the stream it goes to. Throws DateiFehler.
    virtual std::ostream& Oeffnen() = 0;
    // Everything is in the stream: the document becomes the target, complete, or the
    // call throws DateiFehler and the target is as it was.
    virtual void Abschliessen() = 0;
    // An opened document that will not be completed: nothing of it stays, the target is
    // as it was. Harmless when nothing is open.
    virtual void Verwerfen() noexcept = 0;
};

}  // namespace pavolant
