#include "ui/Form1.h"

void Form1::FileOpen() {}
void Form1::OpenFile() {}
void Form1::ShowFileStatus() {}
