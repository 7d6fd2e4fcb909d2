#include "ui/Form1.h"

void Form1::FileNew() {}
