#pragma once

class AppState;
struct Forms;

// What start-up does once the windows exist and before the main window is first seen: reads
// the stored program password and applies a password handed over on the command line.
namespace GuiStartup {

// Sets the program password from the store. A store that is missing or unusable is reported,
// the installation's store is laid down again (keeping the old one beside it as
// standard.dat.bak) and its first password applies.
void readStoredPassword(AppState& state);

// With exactly two parameters, the first "_sel=<password>;", puts the password into the main
// window's field, which unlocks and opens the second parameter when it is right.
void applyHandover(AppState& state, Forms& forms);

// Both, in that order.
void run(AppState& state, Forms& forms);

} // namespace GuiStartup
