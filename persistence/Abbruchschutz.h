// Temporary files that an interrupted program must not leave behind. Whoever creates one
// enters it here first; the handler of SIGINT, SIGTERM and SIGHUP removes every entered
// file of this process and ends the process by the same signal, so its exit status is
// the usual one (a shell shows 128 + signal: 130, 143, 129).
//
// The table is fixed (no allocation) and every entry is a directory descriptor and a
// file name, so the handler needs nothing but async-signal-safe calls (unlinkat, raise)
// and is not misled by a change of the working directory.
#pragma once

#include <filesystem>
#include <string_view>

namespace pavolant {

// Installs the handler for each of SIGINT, SIGTERM and SIGHUP that still has its default
// action; an ignored signal (nohup) stays ignored, another handler stays in place. The
// handler does nothing but remove the entered files and raise the signal again with the
// default action, so an event loop running at the time is never entered.
void AbbruchsignaleAbfangen();

// Enters `name` in `ordner` before the file is created. Returns the entry, or -1 when
// the table is full or the folder cannot be opened (the file is then unprotected).
int TempEintragen(const std::filesystem::path& ordner, std::string_view name);
// Ends the entry once the file is gone or renamed; -1 is ignored.
void TempAustragen(int eintrag) noexcept;

}  // namespace pavolant
