// Every text a person reads passes through here once, in the language the user chose.
// The text as the program writes it in the code is the message id, byte for byte: with
// no translator installed (the C locale, a language without a catalog, every test that
// does not ask for one) each function returns its id unchanged, so the untranslated
// program reads exactly as it always did.
//
// The model knows no catalog: the persistence floor installs the translator (GNU
// gettext where the system has it). The names below are the keywords the catalog tools
// extract: Tr("…"), TrN("…", "…", n), TrVorgemerkt("…").
//
// Numbers and names go into a translated text through Einsetzen's %1…%9, which a
// translation may reorder; a text never reaches printf, so a catalog cannot break the
// program through its placeholders.
#pragma once

#include <initializer_list>
#include <string>
#include <string_view>

namespace pavolant {

// A translator: the translation of id (or of einzahl/mehrzahl for the count n), or
// nullptr when the catalog has none. Installed once at start-up, before any thread.
struct Uebersetzer {
    const char* (*Text)(const char* id) = nullptr;
    const char* (*Mehrzahl)(const char* einzahl, const char* mehrzahl, unsigned long n) = nullptr;
};

void UebersetzerSetzen(const Uebersetzer& uebersetzer);
// Whether a translator is installed (the program speaks a language from a catalog).
bool UebersetzerAktiv();

// The text in the user's language; id itself when there is no translation.
const char* Tr(const char* id);
// The text for the count n: einzahl for 1, mehrzahl otherwise without a catalog; the
// catalog's own plural rule with one.
const char* TrN(const char* einzahl, const char* mehrzahl, unsigned long n);
// Marks a text for the catalog where it is stored (a table, a constant) and translated
// only where it is shown, with Tr.
constexpr const char* TrVorgemerkt(const char* id) { return id; }

// muster with %1…%9 replaced by the given texts, in any order and as often as they
// occur; "%%" is one "%". A "%" before anything else stays as it is, so a text that
// speaks of a grade ("6 %") needs no escape.
std::string Einsetzen(std::string_view muster, std::initializer_list<std::string_view> werte);

}  // namespace pavolant
