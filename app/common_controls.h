// The version check of the common-controls library, which the property
// sheet needs in version 4.70 or later.
#pragma once

// The version of comctl32.dll through its DllGetVersion export; a library
// without the export counts as 4.0. Returns false when the library cannot be
// loaded or DllGetVersion fails.
bool GetCommonControlsVersion(unsigned* major, unsigned* minor);

bool IsCommonControlsVersionSufficient(unsigned major, unsigned minor);
