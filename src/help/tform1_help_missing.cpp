// Placeholder removed when the help windows land.
#include "app/tform1.h"
void TForm1::wireHelp() { }
