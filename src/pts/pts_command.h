// The entry point of the add-on's command that imports a PTS file.
#pragma once

class TQmCustomAddon;

// Runs the import wizard modally for the add-on and returns when it has been freed. Until the
// wizard is part of the module, raises that the command is not available yet.
void ExecutePtsImport(TQmCustomAddon& addon);
