// The entry point of the add-on's command that imports a PTS file.
#pragma once

class TQmCustomAddon;

// Shows the PTS import wizard modally for the add-on and returns when it has been freed. A
// failure of the wizard's set-up propagates after the wizard is freed.
void ExecutePtsImport(TQmCustomAddon& addon);
