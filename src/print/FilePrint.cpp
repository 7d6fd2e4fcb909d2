#include "ui/Form1.h"

void Form1::FilePrint() {}
