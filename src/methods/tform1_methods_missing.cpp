// Placeholder removed when the method windows land.
#include "app/tform1.h"
void TForm1::wireMethods() { }
void TForm1::Button5Click() { }
void TForm1::Button9Click() { }
void TForm1::Button11Click() { }
void TForm1::Button16Click() { }
void TForm1::Button12Click() { }
void TForm1::Button10Click() { }
