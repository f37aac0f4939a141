#include "inputs99/front_end.h"

// Placeholder until the real implementation lands.
void SaveModelDialog() {}
void FileInputDialog(bool) {}
