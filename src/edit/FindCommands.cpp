#include "ui/Form1.h"

void Form1::SearchFind() {}
void Form1::SearchAgain() {}
