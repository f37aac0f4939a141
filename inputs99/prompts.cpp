#include "inputs99/front_end.h"

// Placeholder until the real implementation lands.
void AskYesNo() {}
void ChooseOption(int& choice, int low, int) { choice = low; }
void PressEnterToContinue() {}
void Beep(int) {}
void OpenFileChecked(int, Text14&, Text3&) {}
