// A text of the program in the user's language as Qt holds text (the catalogs are UTF-8).
#pragma once

#include "model/Text.h"

#include <QString>

#include <initializer_list>
#include <string_view>

namespace pavolant::qt {

inline QString QTr(const char* id) { return QString::fromUtf8(Tr(id)); }

inline QString QEinsetzen(const char* id, std::initializer_list<std::string_view> werte) {
    return QString::fromUtf8(Einsetzen(Tr(id), werte));
}

}  // namespace pavolant::qt
