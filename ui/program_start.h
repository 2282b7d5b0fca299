#pragma once
// What the program loads once its main window exists: the shots into the list, and the
// picture ledger with what waits to be sent.
void loadProgramData();
