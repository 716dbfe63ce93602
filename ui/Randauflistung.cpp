#include "ui/Randauflistung.h"

#include "model/Text.h"

#include <utility>

namespace pavolant {

Randauflistung::Randauflistung() {
    Button1.Caption = Tr("OK");
    Memo1.Lines = {"Memo1"};
}

void Randauflistung::Auflisten(const TRandPunkte& rand, std::string ueberschrift) {
    Memo1.Lines.clear();
    Caption = std::move(ueberschrift);
    rand.Auflisten(Memo1.Lines);
}

}  // namespace pavolant
