// The context menus of text fields in the interface's language, whatever translation Qt has
// loaded.
#pragma once

class QLineEdit;
class QPlainTextEdit;

void UseRussianEditMenu(QPlainTextEdit& edit);
void UseRussianEditMenu(QLineEdit& edit);
