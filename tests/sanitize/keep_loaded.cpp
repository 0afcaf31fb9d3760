// Preloaded into sanitizer runs (never linked into the game): makes dlclose
// a no-op, so every shared object stays mapped until the process ends.
//
// SDL unloads the GL library when the video subsystem quits, and Mesa then
// unloads its driver. Blocks the driver still held in its globals would be
// reported as leaks from "<unknown module>", which no suppression can name;
// with the driver kept, they are reachable again, and anything left is
// reported with the library it came from.
extern "C" int dlclose(void*) { return 0; }
