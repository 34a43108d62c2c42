// The live COM objects implemented in this binary: what DllCanUnloadNow answers from. The count
// is kept once per binary (this library is linked statically and stays hidden in a module), so
// a module counts its own objects and no others.
#pragma once

void ComObjectCreated() noexcept;
void ComObjectDestroyed() noexcept;
long ComObjectCount() noexcept;
