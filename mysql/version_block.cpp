// The driver's version-information block, carried in its own file between
// the version markers: the module version and a description of the driver.
// Kept whole through section garbage collection and stripping (it is data in
// a retained section, not a symbol anything has to find).
extern "C" __attribute__((used, retain, visibility("hidden"))) const char gszDriverVersionBlock[] =
    "VersionInfoMarkStart\0"
    "\\StringFileInfo\\000004E4\\FileVersion\0"
    "20.0.10.0\0"
    "\\StringFileInfo\\000004E4\\FileDescription\0"
    "Tarvok - MySQL native access driver for Linux\0"
    "\\StringFileInfo\\000004E4\\Comments\0"
    "Pilote d'acc\xE8s natif MySQL du moteur de bases de Tarvok.\0"
    "\0"
    "VersionInfoMarkEnd";
