// The entry points of the add-on's three commands. Each runs its wizard modally and returns
// when the wizard has been freed; failures are exceptions.
#pragma once

class TQmCustomAddon;

void ExecuteTextImport(TQmCustomAddon& addon);
void ExecutePtsImport(TQmCustomAddon& addon);
void ExecuteSdrImport(TQmCustomAddon& addon);
