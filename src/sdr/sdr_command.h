// The entry point of the add-on's command that imports SDR and RPT files (built with the
// wizard in the sdr gui library).
#pragma once

class TQmCustomAddon;

// Shows the SDR import wizard modally for the add-on and returns when it has been freed. A
// failure of the wizard's set-up propagates after the wizard is freed.
void ExecuteSdrImport(TQmCustomAddon& addon);
