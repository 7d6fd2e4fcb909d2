#include "ui/Form1.h"

void Form1::EditCut() {}
void Form1::EditCopy() {}
void Form1::EditPaste() {}
