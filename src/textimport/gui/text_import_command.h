// The entry point of the add-on's command that imports delimited text.
#pragma once

class TQmCustomAddon;

// Shows the text import wizard modally for the add-on and returns when it has been freed. A
// failure of the wizard's set-up propagates after the wizard is freed.
void ExecuteTextImport(TQmCustomAddon& addon);
