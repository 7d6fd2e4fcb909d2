#include "ui/Form1.h"

void Form1::FileSave() {}
void Form1::FileSaveAs() {}
bool Form1::SaveFile() { return false; }
bool Form1::SaveFileAs() { return false; }
bool Form1::saveDocument() { return false; }
